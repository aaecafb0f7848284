#include "worksheet/PuzzleData.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>
#include <vector>

#include "worksheet/Random.h"

namespace tess {
namespace {

[[noreturn]] void Malformed(const Cp932String& line, const std::string& why) {
  throw EPuzzleLineError(Cp932String::FromBytes("Malformed catalogue line \"" + line.Bytes() + "\": " + why));
}

bool ParseInt32(std::string_view field, std::int32_t& value) {
  if (field.empty()) return false;
  auto [ptr, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
  return ec == std::errc() && ptr == field.data() + field.size();
}

}  // namespace

TPuzzleTable& PuzzleData() {
  static TPuzzleTable table;
  return table;
}

void UnpackPuzzleLine(const Cp932String& line, int n, TPuzzleData& slot) {
  const int positions = FigureModel::ForQuadrilaterals(n).Positions();
  std::string_view rest(line.Bytes());
  std::vector<std::string_view> fields;
  // The first field is T; then one field per position, the last being the rest of the line.
  for (int i = 0; i < positions; ++i) {
    std::size_t comma = rest.find(',');
    if (comma == std::string_view::npos) {
      Malformed(line, "expected " + std::to_string(positions + 1) + " fields, found " +
                          std::to_string(fields.size() + 1));
    }
    fields.push_back(rest.substr(0, comma));
    rest.remove_prefix(comma + 1);
  }
  fields.push_back(rest);

  TPuzzleData unpacked = slot;  // slots keep what lies beyond 2n
  std::int32_t value = 0;
  if (!ParseInt32(fields[0], value)) Malformed(line, "T is not an integer");
  unpacked.BaseSum = Cp932String::FromBytes(fields[0]);
  for (int p = 0; p < positions; ++p) {
    std::string_view field = fields[static_cast<std::size_t>(p) + 1];
    if (!ParseInt32(field, value)) {
      Malformed(line, "the number for position " + std::to_string(p) + " is not an integer");
    }
    unpacked.NumStr[static_cast<std::size_t>(p)] = Cp932String::FromBytes(field);
    unpacked.NumVal[static_cast<std::size_t>(p)] = value;
  }
  slot = std::move(unpacked);
}

void MakePuzzleData(const TStringList& catalogue, int kind, TPuzzleTable& table) {
  if (kind < 0 || kind > 3) return;
  const int n = kind + kMinQuadrilaterals;
  const int count = catalogue.Count();
  if (n == 3) {
    // Six different lines; the repeat draw can only end if the catalogue has six lines at least.
    if (count < kPuzzleSlots) {
      throw EPuzzleLineError(Cp932String("The catalogue holds too few lines for a worksheet"));
    }
    std::array<int, kPuzzleSlots> chosen{};
    for (int k = 0; k < kPuzzleSlots; ++k) {
      int i = 0;
      do {
        i = Random(count);
      } while (std::find(chosen.begin(), chosen.begin() + k, i) != chosen.begin() + k);
      chosen[static_cast<std::size_t>(k)] = i;
      UnpackPuzzleLine(catalogue[i], n, table[static_cast<std::size_t>(k)]);
    }
    return;
  }
  if (count == 0) throw EPuzzleLineError(Cp932String("The catalogue is empty"));
  for (int k = 0; k < 2; ++k)
    UnpackPuzzleLine(catalogue[Random(count)], n, table[static_cast<std::size_t>(k)]);
}

}  // namespace tess

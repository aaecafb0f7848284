#include "worksheet/PuzzleData.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Messages.h"
#include "worksheet/PuzzleSolver.h"
#include "worksheet/Random.h"

namespace tess {
namespace {

[[noreturn]] void Malformed(const Cp932String& line, const std::string& why) {
  throw EPuzzleLineError(MessageCp932("worksheet.bad-line", {line, Cp932String::FromUtf8(why)}));
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
      Malformed(line, Message("worksheet.line-fields",
                              {std::to_string(positions + 1), std::to_string(fields.size() + 1)}));
    }
    fields.push_back(rest.substr(0, comma));
    rest.remove_prefix(comma + 1);
  }
  fields.push_back(rest);

  TPuzzleData unpacked = slot;  // slots keep what lies beyond 2n
  unpacked.Given.reset();       // the given positions belonged to the old line
  std::int32_t value = 0;
  if (!ParseInt32(fields[0], value)) Malformed(line, Message("worksheet.line-t"));
  unpacked.BaseSum = Cp932String::FromBytes(fields[0]);
  for (int p = 0; p < positions; ++p) {
    std::string_view field = fields[static_cast<std::size_t>(p) + 1];
    if (!ParseInt32(field, value)) {
      Malformed(line, Message("worksheet.line-number", {std::to_string(p)}));
    }
    unpacked.NumStr[static_cast<std::size_t>(p)] = Cp932String::FromBytes(field);
    unpacked.NumVal[static_cast<std::size_t>(p)] = value;
  }
  slot = std::move(unpacked);
}

std::vector<int> ChooseGivenPositions(const FigureModel& figure, int level) {
  std::vector<int> given;
  switch (level) {
    case 0:  // the spokes
      given.assign(figure.SpokePositions().begin(), figure.SpokePositions().end());
      break;
    case 1:  // the tips
      given.assign(figure.TipPositions().begin(), figure.TipPositions().end());
      break;
    case 2:
    case 3: {
      // Three or four positions at random, the centre included, each drawn again until it is new;
      // they are kept in the order chosen.
      const int wanted = level == 2 ? 3 : 4;
      while (static_cast<int>(given.size()) < wanted) {
        int p = 0;
        do {
          p = Random(figure.Positions());
        } while (std::find(given.begin(), given.end(), p) != given.end());
        given.push_back(p);
      }
      break;
    }
    default:
      break;
  }
  return given;
}

namespace {

// Six different lines for three quadrilaterals: the repeat draw can only end if there are six at least.
void CheckCatalogueSize(int n, int count) {
  if (n == 3 && count < kPuzzleSlots) {
    throw EPuzzleLineError(MessageCp932("worksheet.too-few-lines"));
  }
  if (count == 0) throw EPuzzleLineError(MessageCp932("worksheet.empty-catalogue"));
}

}  // namespace

void MakePuzzleData(const TStringList& catalogue, int kind, TPuzzleTable& table) {
  if (kind < 0 || kind > 3) return;
  const int n = kind + kMinQuadrilaterals;
  const int count = catalogue.Count();
  CheckCatalogueSize(n, count);
  if (n == 3) {
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
  for (int k = 0; k < 2; ++k)
    UnpackPuzzleLine(catalogue[Random(count)], n, table[static_cast<std::size_t>(k)]);
}

void MakeOneAnswerPuzzleData(const TStringList& catalogue, int kind, int level, int operation,
                             TPuzzleTable& table) {
  if (kind < 0 || kind > 3) return;
  const int n = kind + kMinQuadrilaterals;
  const int count = catalogue.Count();
  CheckCatalogueSize(n, count);
  const FigureModel& figure = FigureModel::ForQuadrilaterals(n);
  const int slots = n == 3 ? kPuzzleSlots : 2;
  const int givenDraws = level == 2 || level == 3 ? kGivenDrawsPerPuzzle : 1;
  std::array<int, kPuzzleSlots> chosen{};
  for (int k = 0; k < slots; ++k) {
    TPuzzleData& slot = table[static_cast<std::size_t>(k)];
    bool found = false;
    for (int attempt = 0; attempt < kPuzzleDrawsPerSlot && !found; ++attempt) {
      int i = 0;
      do {
        i = Random(count);
      } while (n == 3 && std::find(chosen.begin(), chosen.begin() + k, i) != chosen.begin() + k);
      TPuzzleData puzzle = slot;
      UnpackPuzzleLine(catalogue[i], n, puzzle);
      for (int draw = 0; draw < givenDraws && !found; ++draw) {
        std::vector<int> given = ChooseGivenPositions(figure, level);
        if (CountAnswers(QuestionOf(puzzle, n, operation, given), 2) != 1) continue;
        puzzle.Given = std::move(given);
        slot = puzzle;  // a copy: the loop that drew it reads it in its condition
        chosen[static_cast<std::size_t>(k)] = i;
        found = true;
      }
    }
    if (!found) {
      throw EPuzzleLineError(
          MessageCp932("worksheet.no-unique", {Cp932String(std::to_string(kPuzzleDrawsPerSlot).c_str())}));
    }
  }
}

}  // namespace tess

#include "worksheet/CatalogueGenerator.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <future>
#include <mutex>
#include <optional>
#include <string_view>

#include "worksheet/FigureModel.h"

namespace tess {
namespace {

// Depth-first walk round the fan. With the centre and T fixed, choosing the spokes one after another
// determines every tip: tip_j = (T + j - 1) - centre - spoke_j - spoke_{j+1}. Adding up all n
// quadrilaterals also fixes the sum of the spokes (below), so a partial choice whose remaining spokes can
// no longer reach that sum ends at once.
//
// Only T up to the middle of its range is walked: replacing every number x by N + 1 - x and going round
// the ring the other way turns a placement with sums T..T+n-1 into one with sums T'..T'+n-1, where
// T' = 4(N + 1) - T - n + 1. The upper half of the catalogue is the mirror of the lower half.
class Enumerator {
 public:
  explicit Enumerator(const FigureModel& figure)
      : FFigure(figure), FN(figure.Quadrilaterals()), FNumbers(figure.Numbers()) {}

  std::vector<Cp932String> Run() {
    const int smallestSum = 1 + 2 + 3 + 4;
    const int largestSum = FNumbers + (FNumbers - 1) + (FNumbers - 2) + (FNumbers - 3);
    const int mirrorBase = 4 * (FNumbers + 1) - FN + 1;  // T' = mirrorBase - T
    std::vector<std::vector<Placement>> byT;
    for (int t = smallestSum; 2 * t <= mirrorBase && t + FN - 1 <= largestSum; ++t) {
      WalkT(t);
      byT.push_back(std::move(FFound));
      FFound.clear();
    }
    std::vector<Cp932String> lines;
    for (const auto& placements : byT) {
      for (const Placement& p : placements) lines.push_back(Format(p));
    }
    // The mirrored half, in ascending T; a T that is its own mirror was walked already.
    for (auto it = byT.rbegin(); it != byT.rend(); ++it) {
      for (const Placement& p : *it) {
        if (2 * p.t == mirrorBase) break;
        lines.push_back(Format(Mirror(p, mirrorBase)));
      }
    }
    return lines;
  }

 private:
  struct Placement {
    int t;
    std::array<int, kMaxPositions> byPosition;
  };

  void WalkT(int t) {
    FT = t;
    const int total = FNumbers * (FNumbers + 1) / 2;
    for (int centre = 1; centre <= FNumbers; ++centre) {
      // n*T + n(n-1)/2 = n*centre + 2*spokes + tips and centre + spokes + tips = 1 + ... + N.
      const int spokeSum = FN * FT + FN * (FN - 1) / 2 - (FN - 1) * centre - total;
      FCentre = centre;
      Use(centre);
      for (int first = 1; first <= FNumbers; ++first) {
        if (IsUsed(first)) continue;
        FSpokes[1] = first;
        Use(first);
        FRemainingSpokeSum = spokeSum - first;
        if (SpokesStillPossible(FN - 1)) Walk(1);
        Release(first);
      }
      Release(centre);
    }
  }

  // Spokes 1..j are chosen; choose spoke j+1 (or close the fan at j = n) and derive tip j.
  void Walk(int j) {
    const int rest = (FT + j - 1) - FCentre - FSpokes[j];
    if (j == FN) {
      const int tip = rest - FSpokes[1];
      if (IsFree(tip)) {
        FTips[j] = tip;
        Record();
      }
      return;
    }
    // tip_j = rest - next must lie in 1..N, which bounds the next spoke.
    const int lowest = std::max(1, rest - FNumbers);
    const int highest = std::min(FNumbers, rest - 1);
    for (int next = lowest; next <= highest; ++next) {
      const int tip = rest - next;
      if (IsUsed(next) || IsUsed(tip) || tip == next) continue;
      Use(next);
      Use(tip);
      FRemainingSpokeSum -= next;
      if (SpokesStillPossible(FN - j - 1)) {
        FTips[j] = tip;
        FSpokes[j + 1] = next;
        Walk(j + 1);
      }
      FRemainingSpokeSum += next;
      Release(tip);
      Release(next);
    }
  }

  // Can `count` unused numbers still add up to the spoke sum that is left? Compares it with the sums of
  // the `count` smallest and largest unused numbers.
  bool SpokesStillPossible(int count) const {
    if (count == 0) return FRemainingSpokeSum == 0;
    std::uint32_t unused = ~FUsed & allNumbers();
    if (std::popcount(unused) < count) return false;
    int low = 0;
    int high = 0;
    std::uint32_t fromBottom = unused;
    std::uint32_t fromTop = unused;
    for (int i = 0; i < count && fromTop != 0; ++i) {
      low += std::countr_zero(fromBottom);
      fromBottom &= fromBottom - 1;
      const int top = 31 - std::countl_zero(fromTop);
      high += top;
      fromTop &= ~(1u << top);
    }
    return FRemainingSpokeSum >= low && FRemainingSpokeSum <= high;
  }

  void Record() {
    Placement p{FT, {}};
    p.byPosition[0] = FCentre;
    for (int j = 1; j <= FN; ++j) {
      const Quadrilateral& q = FFigure.Quad(j);
      p.byPosition[static_cast<std::size_t>(q.spoke)] = FSpokes[j];
      p.byPosition[static_cast<std::size_t>(q.tip)] = FTips[j];
    }
    FFound.push_back(p);
  }

  // The complemented placement, read round the ring the other way: Q'_j is the complement of Q_{n+1-j}.
  Placement Mirror(const Placement& p, int mirrorBase) const {
    Placement m{mirrorBase - p.t, {}};
    m.byPosition[0] = FNumbers + 1 - p.byPosition[0];
    for (int j = 1; j <= FN; ++j) {
      const Quadrilateral& to = FFigure.Quad(j);
      const Quadrilateral& from = FFigure.Quad(FN + 1 - j);
      m.byPosition[static_cast<std::size_t>(to.spoke)] =
          FNumbers + 1 - p.byPosition[static_cast<std::size_t>(from.nextSpoke)];
      m.byPosition[static_cast<std::size_t>(to.tip)] =
          FNumbers + 1 - p.byPosition[static_cast<std::size_t>(from.tip)];
    }
    return m;
  }

  Cp932String Format(const Placement& p) const {
    // At most 2 + 13 x 3 characters: format into a buffer, no intermediate strings.
    std::array<char, 48> text{};
    char* out = AppendNumber(text.data(), p.t);
    for (int i = 0; i < FFigure.Positions(); ++i) {
      *out++ = ',';
      out = AppendNumber(out, p.byPosition[static_cast<std::size_t>(i)]);
    }
    return Cp932String::FromBytes(std::string_view(text.data(), static_cast<std::size_t>(out - text.data())));
  }

  static char* AppendNumber(char* out, int value) {  // 1..99
    if (value >= 10) *out++ = static_cast<char>('0' + value / 10);
    *out++ = static_cast<char>('0' + value % 10);
    return out;
  }

  std::uint32_t allNumbers() const { return ((1u << (FNumbers + 1)) - 1) & ~1u; }  // bits 1..N
  bool IsUsed(int number) const { return (FUsed >> number) & 1u; }
  bool IsFree(int number) const { return number >= 1 && number <= FNumbers && !IsUsed(number); }
  void Use(int number) { FUsed |= 1u << number; }
  void Release(int number) { FUsed &= ~(1u << number); }

  const FigureModel& FFigure;
  const int FN;
  const int FNumbers;
  int FT = 0;
  int FCentre = 0;
  int FRemainingSpokeSum = 0;
  std::uint32_t FUsed = 0;                            // bit k set: number k is placed
  std::array<int, kMaxQuadrilaterals + 2> FSpokes{};  // FSpokes[j] is the first spoke of Qj
  std::array<int, kMaxQuadrilaterals + 1> FTips{};
  std::vector<Placement> FFound;
};

}  // namespace

std::vector<Cp932String> GenerateCatalogueLines(int n) {
  return Enumerator(FigureModel::ForQuadrilaterals(n)).Run();
}

void FillCatalogue(TStringList& list, int n) {
  list.Clear();
  for (Cp932String& line : GenerateCatalogueLines(n)) list.Add(std::move(line));
}

namespace {

// The generation started for the dialog: plain computation on values of its own, handed over once.
struct GeneratedCatalogues {
  std::mutex mutex;
  std::optional<std::future<std::array<std::vector<Cp932String>, 4>>> pending;
  std::optional<std::array<std::vector<Cp932String>, 4>> lines;
};

GeneratedCatalogues& Generated() {
  static GeneratedCatalogues generated;
  return generated;
}

}  // namespace

void StartCatalogueGeneration() {
  GeneratedCatalogues& g = Generated();
  std::lock_guard lock(g.mutex);
  if (g.pending || g.lines) return;
  g.pending = std::async(std::launch::async, [] {
    std::array<std::vector<Cp932String>, 4> all;
    for (int n = 3; n <= 6; ++n) all[static_cast<std::size_t>(n - 3)] = GenerateCatalogueLines(n);
    return all;
  });
}

void TakeGeneratedCatalogue(TStringList& list, int n) {
  GeneratedCatalogues& g = Generated();
  std::unique_lock lock(g.mutex);
  if (g.pending) {
    g.lines = g.pending->get();
    g.pending.reset();
  }
  if (!g.lines || n < 3 || n > 6) {
    lock.unlock();
    FillCatalogue(list, n);
    return;
  }
  list.Clear();
  for (const Cp932String& line : (*g.lines)[static_cast<std::size_t>(n - 3)]) list.Add(line);
}

}  // namespace tess

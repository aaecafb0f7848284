#include "worksheet/CatalogueGenerator.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
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
      : figure_(figure), n_(figure.Quadrilaterals()), numbers_(figure.Numbers()) {}

  std::vector<Cp932String> Run() {
    const int smallestSum = 1 + 2 + 3 + 4;
    const int largestSum = numbers_ + (numbers_ - 1) + (numbers_ - 2) + (numbers_ - 3);
    const int mirrorBase = 4 * (numbers_ + 1) - n_ + 1;  // T' = mirrorBase - T
    std::vector<std::vector<Placement>> byT;
    for (int t = smallestSum; 2 * t <= mirrorBase && t + n_ - 1 <= largestSum; ++t) {
      WalkT(t);
      byT.push_back(std::move(found_));
      found_.clear();
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
    t_ = t;
    const int total = numbers_ * (numbers_ + 1) / 2;
    for (int centre = 1; centre <= numbers_; ++centre) {
      // n*T + n(n-1)/2 = n*centre + 2*spokes + tips and centre + spokes + tips = 1 + ... + N.
      const int spokeSum = n_ * t_ + n_ * (n_ - 1) / 2 - (n_ - 1) * centre - total;
      centre_ = centre;
      Use(centre);
      for (int first = 1; first <= numbers_; ++first) {
        if (IsUsed(first)) continue;
        spokes_[1] = first;
        Use(first);
        remainingSpokeSum_ = spokeSum - first;
        if (SpokesStillPossible(n_ - 1)) Walk(1);
        Release(first);
      }
      Release(centre);
    }
  }

  // Spokes 1..j are chosen; choose spoke j+1 (or close the fan at j = n) and derive tip j.
  void Walk(int j) {
    const int rest = (t_ + j - 1) - centre_ - spokes_[j];
    if (j == n_) {
      const int tip = rest - spokes_[1];
      if (IsFree(tip)) {
        tips_[j] = tip;
        Record();
      }
      return;
    }
    // tip_j = rest - next must lie in 1..N, which bounds the next spoke.
    const int lowest = std::max(1, rest - numbers_);
    const int highest = std::min(numbers_, rest - 1);
    for (int next = lowest; next <= highest; ++next) {
      const int tip = rest - next;
      if (IsUsed(next) || IsUsed(tip) || tip == next) continue;
      Use(next);
      Use(tip);
      remainingSpokeSum_ -= next;
      if (SpokesStillPossible(n_ - j - 1)) {
        tips_[j] = tip;
        spokes_[j + 1] = next;
        Walk(j + 1);
      }
      remainingSpokeSum_ += next;
      Release(tip);
      Release(next);
    }
  }

  // Can `count` unused numbers still add up to the spoke sum that is left? Compares it with the sums of
  // the `count` smallest and largest unused numbers.
  bool SpokesStillPossible(int count) const {
    if (count == 0) return remainingSpokeSum_ == 0;
    std::uint32_t unused = ~used_ & allNumbers();
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
    return remainingSpokeSum_ >= low && remainingSpokeSum_ <= high;
  }

  void Record() {
    Placement p{t_, {}};
    p.byPosition[0] = centre_;
    for (int j = 1; j <= n_; ++j) {
      const Quadrilateral& q = figure_.Quad(j);
      p.byPosition[static_cast<std::size_t>(q.spoke)] = spokes_[j];
      p.byPosition[static_cast<std::size_t>(q.tip)] = tips_[j];
    }
    found_.push_back(p);
  }

  // The complemented placement, read round the ring the other way: Q'_j is the complement of Q_{n+1-j}.
  Placement Mirror(const Placement& p, int mirrorBase) const {
    Placement m{mirrorBase - p.t, {}};
    m.byPosition[0] = numbers_ + 1 - p.byPosition[0];
    for (int j = 1; j <= n_; ++j) {
      const Quadrilateral& to = figure_.Quad(j);
      const Quadrilateral& from = figure_.Quad(n_ + 1 - j);
      m.byPosition[static_cast<std::size_t>(to.spoke)] =
          numbers_ + 1 - p.byPosition[static_cast<std::size_t>(from.nextSpoke)];
      m.byPosition[static_cast<std::size_t>(to.tip)] =
          numbers_ + 1 - p.byPosition[static_cast<std::size_t>(from.tip)];
    }
    return m;
  }

  Cp932String Format(const Placement& p) const {
    // At most 2 + 13 x 3 characters: format into a buffer, no intermediate strings.
    std::array<char, 48> text{};
    char* out = AppendNumber(text.data(), p.t);
    for (int i = 0; i < figure_.Positions(); ++i) {
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

  std::uint32_t allNumbers() const { return ((1u << (numbers_ + 1)) - 1) & ~1u; }  // bits 1..N
  bool IsUsed(int number) const { return (used_ >> number) & 1u; }
  bool IsFree(int number) const { return number >= 1 && number <= numbers_ && !IsUsed(number); }
  void Use(int number) { used_ |= 1u << number; }
  void Release(int number) { used_ &= ~(1u << number); }

  const FigureModel& figure_;
  const int n_;
  const int numbers_;
  int t_ = 0;
  int centre_ = 0;
  int remainingSpokeSum_ = 0;
  std::uint32_t used_ = 0;                            // bit k set: number k is placed
  std::array<int, kMaxQuadrilaterals + 2> spokes_{};  // spokes_[j] is the first spoke of Qj
  std::array<int, kMaxQuadrilaterals + 1> tips_{};
  std::vector<Placement> found_;
};

}  // namespace

std::vector<Cp932String> GenerateCatalogueLines(int n) {
  return Enumerator(FigureModel::ForQuadrilaterals(n)).Run();
}

void FillCatalogue(TStringList& list, int n) {
  list.Clear();
  for (Cp932String& line : GenerateCatalogueLines(n)) list.Add(std::move(line));
}

}  // namespace tess

#include "worksheet/FigureModel.h"

#include <algorithm>
#include <stdexcept>

namespace tess {
namespace {

constexpr RingDistance R = RingDistance::Radius;
constexpr RingDistance S = RingDistance::Spoke;

}  // namespace

FigureModel::FigureModel(int n, std::array<int, 6> spokes, std::array<Quadrilateral, 6> quads,
                         std::array<RingPosition, 12> ring, std::array<int, 6> labelAngles)
    : FN(n), FSpokes(spokes), FQuads(quads), FRing(ring), FLabelAngles(labelAngles) {
  int t = 0;
  for (int p = 1; p <= 2 * FN; ++p) {
    if (!IsSpoke(p)) FTips[static_cast<std::size_t>(t++)] = p;
  }
}

bool FigureModel::IsSpoke(int position) const {
  const auto* end = FSpokes.begin() + FN;
  return std::find(FSpokes.begin(), end, position) != end;
}

const FigureModel& FigureModel::ForQuadrilaterals(int n) {
  // n = 3: a hexagon; every ring point at R, spokes at the odd positions.
  static const FigureModel three(3, {1, 3, 5}, {{{0, 1, 2, 3}, {0, 3, 4, 5}, {0, 5, 6, 1}}},
                                 {{{-30, R}, {-90, R}, {-150, R}, {-210, R}, {-270, R}, {-330, R}}},
                                 {-330, -450, -570});
  // n = 4: a square on one corner; tips at the odd positions.
  static const FigureModel four(
      4, {2, 4, 6, 8}, {{{0, 2, 3, 4}, {0, 4, 5, 6}, {0, 6, 7, 8}, {0, 8, 1, 2}}},
      {{{0, R}, {-45, S}, {-90, R}, {-135, S}, {-180, R}, {-225, S}, {-270, R}, {-315, S}}},
      {0, -90, -180, -270});
  // n = 5: a five-pointed star; tips at the odd positions.
  static const FigureModel five(5, {2, 4, 6, 8, 10},
                                {{{0, 2, 3, 4}, {0, 4, 5, 6}, {0, 6, 7, 8}, {0, 8, 9, 10}, {0, 10, 1, 2}}},
                                {{{-18, R},
                                  {-54, S},
                                  {-90, R},
                                  {-126, S},
                                  {-162, R},
                                  {-198, S},
                                  {-234, R},
                                  {-270, S},
                                  {-306, R},
                                  {-342, S}}},
                                {-18, -90, -162, -234, -306});
  // n = 6: a six-pointed star; spokes at the odd positions.
  static const FigureModel six(
      6, {1, 3, 5, 7, 9, 11},
      {{{0, 3, 4, 5}, {0, 5, 6, 7}, {0, 7, 8, 9}, {0, 9, 10, 11}, {0, 11, 12, 1}, {0, 1, 2, 3}}},
      {{{0, S},
        {-30, R},
        {-60, S},
        {-90, R},
        {-120, S},
        {-150, R},
        {-180, S},
        {-210, R},
        {-240, S},
        {-270, R},
        {-300, S},
        {-330, R}}},
      {-30, -90, -150, -210, -270, -330});
  switch (n) {
    case 3:
      return three;
    case 4:
      return four;
    case 5:
      return five;
    case 6:
      return six;
    default:
      throw std::out_of_range("a figure has 3 to 6 quadrilaterals");
  }
}

}  // namespace tess

#include "worksheet/FigureGeometry.h"

#include <cmath>

namespace tess {
namespace {

// Pi to the full 64-bit mantissa of the extended type, and the two constants the star figures use.
constexpr long double kPi = 3.14159265358979323846264338327950288L;
constexpr long double kPiOver5 = 0.6283185307179586477L;
constexpr long double kPiOver3 = 1.0471975511965977462L;

int TruncToInt(long double v) {
  return static_cast<int>(std::trunc(v));
}

}  // namespace

PagePoint PointAt(int centerX, int centerY, int angleDegrees, long double rho) {
  const long double theta = static_cast<long double>(angleDegrees) * kPi / 180.0L;
  return {centerX + TruncToInt(rho * std::cos(theta)), centerY + TruncToInt(rho * std::sin(theta))};
}

long double SpokeDistance(int n, int radius) {
  const long double r = static_cast<long double>(radius);
  switch (n) {
    case 4:
      return std::sqrt(static_cast<long double>(radius * radius) / 2.0L);
    case 5:
      return (r / 2.0L) / std::cos(kPiOver5);
    case 6:
      return (r / 2.0L) / std::sin(kPiOver3);
    default:
      return r;  // n = 3: the hexagon's spokes lie on the circle of the tips
  }
}

FigurePoints ComputeFigurePoints(const FigureModel& figure, int centerX, int centerY, int radius) {
  FigurePoints points;
  const int n = figure.Quadrilaterals();
  const long double tipDistance = static_cast<long double>(radius);
  const long double spokeDistance = SpokeDistance(n, radius);
  points.position[0] = {centerX, centerY};
  for (int p = 1; p <= 2 * n; ++p) {
    const RingPosition& ring = figure.Ring(p);
    const long double rho = ring.distance == RingDistance::Radius ? tipDistance : spokeDistance;
    points.position[static_cast<std::size_t>(p)] = PointAt(centerX, centerY, ring.angleDegrees, rho);
  }
  const long double labelDistance = static_cast<long double>(radius) / 2.0L;
  for (int j = 0; j < n; ++j) {
    points.label[static_cast<std::size_t>(j)] =
        PointAt(centerX, centerY, figure.LabelAngleDegrees(j), labelDistance);
  }
  return points;
}

}  // namespace tess

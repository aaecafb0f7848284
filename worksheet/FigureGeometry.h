#pragma once
// Where the points of a puzzle figure lie on the page: the ring points p1..p2n and the label points
// L0..L(n-1), in page units (0.1 mm), from the figure model's angles. The arithmetic is done in 80-bit
// extended precision and each offset is truncated toward zero before the centre is added, so the points are
// the same to the last unit wherever the figure is drawn.

#include <array>

#include "worksheet/FigureModel.h"

namespace tess {

struct PagePoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const PagePoint&, const PagePoint&) = default;
};

struct FigurePoints {
  std::array<PagePoint, kMaxPositions> position{};    // p0 (the centre) .. p2n
  std::array<PagePoint, kMaxQuadrilaterals> label{};  // L0 .. L(n-1)
};

// The point at `angleDegrees` (whole degrees, page y growing downward) and distance `rho` from the centre.
PagePoint PointAt(int centerX, int centerY, int angleDegrees, long double rho);

// The distance of the spoke positions from the centre for a figure of n quadrilaterals with tip distance R.
long double SpokeDistance(int n, int radius);

FigurePoints ComputeFigurePoints(const FigureModel& figure, int centerX, int centerY, int radius);

}  // namespace tess

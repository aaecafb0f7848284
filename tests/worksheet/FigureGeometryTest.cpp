#include <gtest/gtest.h>

#include <vector>

#include "worksheet/FigureGeometry.h"

namespace tess {
namespace {

// The worksheet's figures at their first slots, every point worked out from its angle and distance: the
// offset from the centre (cosine and sine to many digits) cut toward zero, then the centre added. Spokes
// lie at R for three quadrilaterals, R / sqrt 2 = 318.198 for four, (R / 2) / cos 36 = 278.115 for five
// and (R / 2) / sin 60 = 259.808 for six; the labels at R / 2. Where the exact offset is a whole number
// (150 for the hexagon, 225 for the square's spokes and the star's ring) the extended-precision sine and
// cosine land a hair beside it; the points marked "inside" come out one unit nearer the centre.
struct WorkedFigure {
  int n;
  int cx, cy, radius;
  std::vector<PagePoint> ring;    // p1 .. p2n
  std::vector<PagePoint> labels;  // L0 .. L(n-1)
};

const WorkedFigure kWorkedFigures[] = {
    {3,
     600,
     800,
     300,
     {{859, 650},    // -30 degrees: 259.81, -150
      {600, 500},    // -90
      {341, 650},    // -150: -259.81, -150
      {341, 949},    // -210: -259.81, 150 (inside)
      {600, 1100},   // -270
      {859, 950}},   // -330: 259.81, 150
     {{729, 875},    // -330 degrees at 150: 129.90, 75
      {600, 650},    // -450
      {471, 875}}},  // -570: -129.90, 75
    {4,
     1055,
     1100,
     450,
     {{1505, 1100},   // 0 degrees
      {1279, 875},    // -45 at 318.198: 225 (inside), -225
      {1055, 650},    // -90
      {830, 876},     // -135: -225, -225 (inside)
      {605, 1100},    // -180
      {831, 1325},    // -225: -225 (inside), 225
      {1055, 1550},   // -270
      {1279, 1325}},  // -315: 225 (inside), 225
     {{1280, 1100}, {1055, 875}, {830, 1100}, {1055, 1325}}},
    {5,
     1050,
     1100,
     450,
     {{1477, 961},    // -18 degrees: 427.97, -139.06
      {1213, 875},    // -54 at 278.115: 163.47, -225
      {1050, 650},    // -90
      {887, 875},     // -126: -163.47, -225
      {623, 961},     // -162: -427.97, -139.06
      {786, 1185},    // -198 at 278.115: -264.50, 85.94
      {786, 1464},    // -234: -264.50, 364.06
      {1050, 1378},   // -270 at 278.115: 0, 278.12
      {1314, 1464},   // -306: 264.50, 364.06
      {1314, 1185}},  // -342 at 278.115: 264.50, 85.94
     {{1263, 1031},   // -18 degrees at 225: 213.99, -69.53
      {1050, 875},
      {837, 1031},
      {918, 1282},  // -234: -132.25, 182.03
      {1182, 1282}}},
    {6,
     1050,
     1100,
     450,
     {{1309, 1100},   // 0 degrees at 259.808
      {1439, 875},    // -30: 389.71, -225
      {1179, 875},    // -60 at 259.808: 129.90, -225
      {1050, 650},    // -90
      {921, 876},     // -120 at 259.808: -129.90, -225 (inside)
      {661, 875},     // -150: -389.71, -225
      {791, 1100},    // -180 at 259.808
      {661, 1324},    // -210: -389.71, 225 (inside)
      {921, 1325},    // -240 at 259.808: -129.90, 225
      {1050, 1550},   // -270
      {1179, 1324},   // -300 at 259.808: 129.90, 225 (inside)
      {1439, 1325}},  // -330: 389.71, 225
     {{1244, 988},    // -30 degrees at 225: 194.86, -112.5
      {1050, 875},
      {856, 988},
      {856, 1212},
      {1050, 1325},
      {1244, 1212}}},
};

TEST(FigureGeometry, EveryPointOfTheWorksheetFiguresAsWorkedOut) {
  for (const WorkedFigure& w : kWorkedFigures) {
    SCOPED_TRACE(w.n);
    const FigurePoints points =
        ComputeFigurePoints(FigureModel::ForQuadrilaterals(w.n), w.cx, w.cy, w.radius);
    EXPECT_EQ(points.position[0], (PagePoint{w.cx, w.cy}));
    ASSERT_EQ(w.ring.size(), static_cast<std::size_t>(2 * w.n));
    for (std::size_t p = 1; p <= w.ring.size(); ++p) EXPECT_EQ(points.position[p], w.ring[p - 1]) << "p" << p;
    ASSERT_EQ(w.labels.size(), static_cast<std::size_t>(w.n));
    for (std::size_t j = 0; j < w.labels.size(); ++j) EXPECT_EQ(points.label[j], w.labels[j]) << "L" << j;
  }
}

TEST(FigureGeometry, TruncationCutsTowardZeroOnBothSides) {
  // cos(-150 degrees) * 300 = -259.807...: the offset becomes -259, not -260.
  EXPECT_EQ(PointAt(0, 0, -150, 300.0L), (PagePoint{-259, -150}));
  EXPECT_EQ(PointAt(0, 0, -30, 300.0L), (PagePoint{259, -150}));
}

}  // namespace
}  // namespace tess

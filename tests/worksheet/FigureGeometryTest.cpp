#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "worksheet/FigureGeometry.h"

namespace tess {
namespace {

// The placement rule written out again from its formulas (angles by formula, not by table).
struct Expected {
  static PagePoint At(int cx, int cy, int theta, long double rho) {
    const long double pi = 3.14159265358979323846264338327950288L;
    long double a = static_cast<long double>(theta) * pi / 180.0L;
    return {cx + static_cast<int>(std::trunc(rho * std::cos(a))),
            cy + static_cast<int>(std::trunc(rho * std::sin(a)))};
  }
  static void Ring(int n, int p, int r, int& theta, long double& rho) {
    const long double R = r;
    switch (n) {
      case 3:
        theta = -(30 + 60 * (p - 1));
        rho = R;
        return;
      case 4:
        if (p % 2 == 1) {
          theta = -90 * ((p - 1) / 2);
          rho = R;
        } else {
          theta = -(45 + 90 * (p / 2 - 1));
          rho = std::sqrt(static_cast<long double>(r * r) / 2.0L);
        }
        return;
      case 5:
        if (p % 2 == 1) {
          theta = -(18 + 72 * ((p - 1) / 2));
          rho = R;
        } else {
          theta = -(54 + 72 * (p / 2 - 1));
          rho = (R / 2.0L) / std::cos(0.6283185307179586477L);
        }
        return;
      default:
        if (p % 2 == 1) {
          theta = -60 * ((p - 1) / 2);
          rho = (R / 2.0L) / std::sin(1.0471975511965977462L);
        } else {
          theta = -(30 + 60 * (p / 2 - 1));
          rho = R;
        }
    }
  }
  static int Label(int n, int j) {
    switch (n) {
      case 3:
        return -(330 + 120 * j);
      case 4:
        return -90 * j;
      case 5:
        return -(18 + 72 * j);
      default:
        return -(30 + 60 * j);
    }
  }
};

TEST(FigureGeometry, EveryPointOfEveryFigureMatchesTheFormulas) {
  for (int n = 3; n <= 6; ++n) {
    for (int radius : {300, 450, 451, 1000}) {
      for (auto [cx, cy] : {std::pair{600, 800}, std::pair{1055, 2300}, std::pair{0, 0}}) {
        FigurePoints points = ComputeFigurePoints(FigureModel::ForQuadrilaterals(n), cx, cy, radius);
        EXPECT_EQ(points.position[0], (PagePoint{cx, cy}));
        for (int p = 1; p <= 2 * n; ++p) {
          int theta = 0;
          long double rho = 0;
          Expected::Ring(n, p, radius, theta, rho);
          EXPECT_EQ(points.position[static_cast<std::size_t>(p)], Expected::At(cx, cy, theta, rho))
              << "n " << n << " p" << p << " R " << radius;
        }
        for (int j = 0; j < n; ++j) {
          EXPECT_EQ(points.label[static_cast<std::size_t>(j)],
                    Expected::At(cx, cy, Expected::Label(n, j), radius / 2.0L))
              << "n " << n << " L" << j;
        }
      }
    }
  }
}

TEST(FigureGeometry, SquareTipsLieExactlyOnTheAxes) {
  FigurePoints f = ComputeFigurePoints(FigureModel::ForQuadrilaterals(4), 1055, 1100, 450);
  EXPECT_EQ(f.position[1], (PagePoint{1055 + 450, 1100}));
  EXPECT_EQ(f.position[3], (PagePoint{1055, 1100 - 450}));
  // The spoke p2 lies on the midpoint of the outline edge p1-p3, up to the truncation.
  EXPECT_LE(std::abs(f.position[2].x - (f.position[1].x + f.position[3].x) / 2), 1);
  EXPECT_LE(std::abs(f.position[2].y - (f.position[1].y + f.position[3].y) / 2), 1);
}

TEST(FigureGeometry, HexagonSpokesAndTheFirstLabel) {
  const int cx = 600, cy = 800, r = 300;
  FigurePoints f = ComputeFigurePoints(FigureModel::ForQuadrilaterals(3), cx, cy, r);
  EXPECT_GT(f.position[1].x, cx);  // -30 degrees: up and to the right
  EXPECT_LT(f.position[1].y, cy);
  EXPECT_LT(f.position[3].x, cx);  // -150 degrees: up and to the left
  EXPECT_LT(f.position[3].y, cy);
  EXPECT_EQ(f.position[5], (PagePoint{cx, cy + r}));   // -270 degrees: straight down
  EXPECT_EQ(f.label[1], (PagePoint{cx, cy - r / 2}));  // Q1's value straight above the centre
}

TEST(FigureGeometry, TruncationCutsTowardZeroOnBothSides) {
  // cos(-150 degrees) * 300 = -259.807...: the offset becomes -259, not -260.
  EXPECT_EQ(PointAt(0, 0, -150, 300.0L), (PagePoint{-259, -150}));
  EXPECT_EQ(PointAt(0, 0, -30, 300.0L), (PagePoint{259, -150}));
}

}  // namespace
}  // namespace tess

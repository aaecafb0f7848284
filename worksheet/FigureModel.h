#pragma once
// The figure model: a puzzle figure of n quadrilaterals (n = 3..6) in a closed fan around one centre.
// Vertex positions run 0..2n: 0 is the centre, 1..2n go round the ring in drawing order. Spoke positions
// are shared by two neighbouring quadrilaterals and joined to the centre; tip positions belong to one.
// Quadrilateral Qj (j = 1..n) is centre, spoke, tip, next spoke; its value is T + j - 1 in every
// catalogue line. The figure drawing places the points with the angles held here, so the geometry of a
// figure is written down once.

#include <array>
#include <span>

namespace tess {

constexpr int kMinQuadrilaterals = 3;
constexpr int kMaxQuadrilaterals = 6;
constexpr int kMaxPositions = 2 * kMaxQuadrilaterals + 1;  // 13

// How far a ring position lies from the centre: R (every tip, and the spokes of n = 3), or the spoke
// distance of the figure (n = 4, 5, 6).
enum class RingDistance { Radius, Spoke };

struct Quadrilateral {
  int centre;     // always position 0
  int spoke;      // the spoke it shares with the quadrilateral before it
  int tip;        // its own tip
  int nextSpoke;  // the spoke it shares with the quadrilateral after it
  std::array<int, 4> Positions() const { return {centre, spoke, tip, nextSpoke}; }
};

struct RingPosition {
  int angleDegrees;  // kept as given (-330, not 30): the truncated points depend on the exact value
  RingDistance distance;
};

class FigureModel {
 public:
  // n = 3..6; anything else is a programming error (std::out_of_range).
  static const FigureModel& ForQuadrilaterals(int n);
  // The figure for a SquareNums item index 0..3 (n = index + 3).
  static const FigureModel& ForKind(int kind) { return ForQuadrilaterals(kind + kMinQuadrilaterals); }

  int Quadrilaterals() const { return FN; }
  int Positions() const { return 2 * FN + 1; }
  int Numbers() const { return 2 * FN + 1; }  // the numbers 1..2n+1 are placed once each
  bool IsSpoke(int position) const;
  bool IsTip(int position) const { return position != 0 && !IsSpoke(position); }
  // Spoke and tip positions in ascending order.
  std::span<const int> SpokePositions() const { return {FSpokes.data(), static_cast<std::size_t>(FN)}; }
  std::span<const int> TipPositions() const { return {FTips.data(), static_cast<std::size_t>(FN)}; }
  // Q1..Qn as Quad(1)..Quad(n).
  const Quadrilateral& Quad(int j) const { return FQuads.at(static_cast<std::size_t>(j - 1)); }
  // Ring positions 1..2n.
  const RingPosition& Ring(int position) const { return FRing.at(static_cast<std::size_t>(position - 1)); }
  // The angle of label point Lj (j = 0..n-1); Lj shows Qj for j >= 1 and L0 shows Qn.
  int LabelAngleDegrees(int j) const { return FLabelAngles.at(static_cast<std::size_t>(j)); }

 private:
  FigureModel(int n, std::array<int, 6> spokes, std::array<Quadrilateral, 6> quads,
              std::array<RingPosition, 12> ring, std::array<int, 6> labelAngles);
  int FN;
  std::array<int, 6> FSpokes;
  std::array<int, 6> FTips{};
  std::array<Quadrilateral, 6> FQuads;
  std::array<RingPosition, 12> FRing;
  std::array<int, 6> FLabelAngles;
};

}  // namespace tess

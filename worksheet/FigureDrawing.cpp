#include "worksheet/FigureDrawing.h"

#include <vector>

#include "platform/gfx/Canvas.h"
#include "preview/PreviewDocument.h"
#include "worksheet/FigureGeometry.h"

namespace tess {
namespace {

std::int32_t Product(const Quadrilateral& q, const TPuzzleData& puzzle) {
  std::int32_t product = 1;
  for (int p : q.Positions()) product *= puzzle.NumVal[static_cast<std::size_t>(p)];
  return product;
}

}  // namespace

std::vector<int> DrawPuzzleFigure(TCustomplPrev& document, const FigurePlacement& placement,
                                  const TPuzzleData& puzzle, const FigureShowing& showing) {
  const FigureModel& figure = FigureModel::ForKind(placement.kind);
  const int n = figure.Quadrilaterals();
  TCanvas& canvas = *document.Canvas();

  canvas.Pen().SetWidth(placement.penWidth);
  canvas.Pen().SetStyle(TPenStyle::psSolid);
  const FigurePoints points =
      ComputeFigurePoints(figure, placement.centerX, placement.centerY, placement.radius);
  auto at = [&points](int p) { return points.position[static_cast<std::size_t>(p)]; };

  // Outline round the ring, then the spokes from the centre.
  canvas.MoveTo(at(1).x, at(1).y);
  for (int p = 2; p <= 2 * n; ++p) canvas.LineTo(at(p).x, at(p).y);
  canvas.LineTo(at(1).x, at(1).y);
  for (int spoke : figure.SpokePositions()) {
    canvas.MoveTo(at(0).x, at(0).y);
    canvas.LineTo(at(spoke).x, at(spoke).y);
  }

  // White discs over every vertex hide the line ends.
  canvas.Brush().SetColor(RGB(255, 255, 255));
  canvas.Brush().SetStyle(TBrushStyle::bsSolid);
  for (int p = 0; p <= 2 * n; ++p) document.Circle(at(p).x, at(p).y, 2 * placement.fontHeight);

  // Vertex numbers: every one on the answer page, the given ones on the question page.
  canvas.Font().SetHeight(placement.fontHeight);
  std::vector<int> shown, given;
  if (showing.answerPage == 1) {
    for (int p = 0; p <= 2 * n; ++p) shown.push_back(p);
  } else if (showing.answerPage == 0) {
    given = puzzle.Given ? *puzzle.Given : ChooseGivenPositions(figure, showing.level);
    shown = given;
  }
  for (int p : shown) {
    if (p < 0 || p > 2 * n) continue;
    document.TextOutCenter(at(p).x, at(p).y, puzzle.NumStr[static_cast<std::size_t>(p)]);
  }

  // Quadrilateral values: Q1..Q(n-1) at L1..L(n-1), then Qn at L0.
  canvas.Font().SetHeight((placement.fontHeight * 3) / 4);
  auto labelAt = [&points](int j) { return points.label[static_cast<std::size_t>(j)]; };
  if (showing.operation == 1) {
    for (int j = 1; j <= n; ++j) {
      const PagePoint l = labelAt(j % n);
      document.TextOutCenter(l.x, l.y, IntToStr(Product(figure.Quad(j), puzzle)));
    }
    return given;
  }
  // Sums are consecutive: Qj is BaseSum + j - 1, and Qn is the label before it plus one.
  Cp932String label;
  for (int j = 1; j <= n - 1; ++j) {
    label = IntToStr(static_cast<long long>(StrToInt(puzzle.BaseSum)) + j - 1);
    document.TextOutCenter(labelAt(j).x, labelAt(j).y, label);
  }
  label = IntToStr(static_cast<long long>(StrToInt(label)) + 1);
  document.TextOutCenter(labelAt(0).x, labelAt(0).y, label);
  return given;
}

}  // namespace tess

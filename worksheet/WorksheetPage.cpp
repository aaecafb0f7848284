#include "worksheet/WorksheetPage.h"

#include <span>

#include "platform/gfx/Canvas.h"
#include "preview/PreviewDocument.h"
#include "worksheet/FigureDrawing.h"
#include "worksheet/PuzzleData.h"

namespace tess {
namespace {

struct FigureSlot {
  int x;
  int y;
};

// Figure places are fixed page coordinates (they do not follow the paper or the printable area).
constexpr std::array<FigureSlot, 6> kSlotsThree{
    {{600, 800}, {1500, 800}, {600, 1650}, {1500, 1650}, {600, 2500}, {1500, 2500}}};
constexpr std::array<FigureSlot, 2> kSlotsFour{{{1055, 1100}, {1055, 2300}}};
constexpr std::array<FigureSlot, 2> kSlotsFiveSix{{{1050, 1100}, {1050, 2300}}};
constexpr int kFigureFontHeight = 80;
constexpr int kFigurePenWidth = 2;

std::span<const FigureSlot> SlotsFor(int sizeIndex) {
  switch (sizeIndex) {
    case 0:
      return kSlotsThree;
    case 1:
      return kSlotsFour;
    case 2:
    case 3:
      return kSlotsFiveSix;
    default:
      return {};
  }
}

int RadiusFor(int sizeIndex) {
  return sizeIndex == 0 ? 300 : 450;
}

Cp932String NameBracket() {
  // Full-width brackets around eleven ideographic spaces.
  Cp932String bracket = Cp932String::FromUtf8("（");
  for (int i = 0; i < 11; ++i) bracket += Cp932String::FromUtf8("　");
  return bracket + Cp932String::FromUtf8("）");
}

}  // namespace

int WorksheetFigureCount(int sizeIndex) {
  return static_cast<int>(SlotsFor(sizeIndex).size());
}

Cp932String WorksheetFaceName() {
  return Cp932String::FromUtf8("ＭＳ ゴシック");
}

void DrawWorksheetHeader(TCustomplPrev& document, const WorksheetSettings& settings,
                         const PrintAreaFrame& frame, int problemNo) {
  TCanvas& canvas = *document.Canvas();
  canvas.Font().SetStyle(0);
  canvas.Font().SetName(WorksheetFaceName());
  canvas.Font().SetColor(clBlack);
  canvas.Brush().SetStyle(TBrushStyle::bsClear);

  canvas.Font().SetHeight(30);
  document.TextOutLeft(frame.left + 50, frame.top + 50,
                       Cp932String::FromUtf8("問題No.") + IntToStr(problemNo));
  canvas.Font().SetHeight(80);
  document.TextOutRight(frame.left + frame.width - 50, frame.top + 70, NameBracket());
  canvas.Font().SetHeight(60);
  document.TextOutLeft(frame.left + 50, frame.top + 170, settings.line1);
  canvas.Font().SetHeight(60);
  document.TextOutLeft(frame.left + 50, frame.top + 240, settings.line2);
  if (settings.dateLine) {
    canvas.Font().SetHeight(40);
    document.TextOutLeftMiddle(frame.left + 100, frame.top + 340,
                               Cp932String::FromUtf8("月　　日　（　　）　　分　　秒"));
  }
  canvas.Font().SetHeight(60);
}

void DrawWorksheetFigures(TCustomplPrev& document, const WorksheetSettings& settings, int answerPage,
                          GivenPositionTable* shownGivens) {
  const std::span<const FigureSlot> slots = SlotsFor(settings.sizeIndex);
  const TPuzzleTable& puzzles = PuzzleData();
  for (std::size_t slot = 0; slot < slots.size(); ++slot) {
    FigurePlacement placement{settings.sizeIndex, slots[slot].x,
                              slots[slot].y,      RadiusFor(settings.sizeIndex),
                              kFigureFontHeight,  kFigurePenWidth};
    std::vector<int> given = DrawPuzzleFigure(document, placement, puzzles[slot],
                                              {answerPage, settings.level, settings.operation});
    if (shownGivens != nullptr) (*shownGivens)[slot] = std::move(given);
  }
}

void BuildWorksheets(TCustomplPrev& document, const WorksheetSettings& settings, const PrintAreaFrame& frame,
                     int problemNo, int count, const CatalogueSet& catalogues,
                     const std::function<void()>& afterSecondHeader, GivenPositionTable* shownGivens) {
  const TStringList* catalogue =
      settings.sizeIndex >= 0 && settings.sizeIndex < static_cast<int>(catalogues.size())
          ? catalogues[static_cast<std::size_t>(settings.sizeIndex)]
          : nullptr;
  document.BeginDoc();
  try {
    for (int sheet = 0; sheet < count; ++sheet) {
      // Computed wide: the caller keeps every worksheet's number within the counter's range.
      const int number = static_cast<int>(static_cast<long long>(problemNo) + sheet);
      if (sheet > 0) document.NewPage();
      DrawWorksheetHeader(document, settings, frame, number);
      if (catalogue != nullptr) {
        if (settings.oneAnswer) {
          MakeOneAnswerPuzzleData(*catalogue, settings.sizeIndex, settings.level, settings.operation,
                                  PuzzleData());
        } else {
          MakePuzzleData(*catalogue, settings.sizeIndex, PuzzleData());
        }
      }
      DrawWorksheetFigures(document, settings, 0, shownGivens);
      document.NewPage();
      DrawWorksheetHeader(document, settings, frame, number);
      if (afterSecondHeader) afterSecondHeader();
      DrawWorksheetFigures(document, settings, 1);
    }
  } catch (...) {
    // The pages drawn so far stay in the document; the failure goes to the caller.
    document.EndDoc();
    throw;
  }
  document.EndDoc();
}

}  // namespace tess

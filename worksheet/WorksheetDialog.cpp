#include "worksheet/WorksheetDialog.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <string>

#include "platform/core/Exceptions.h"
#include "worksheet/CatalogueGenerator.h"
#include "worksheet/FigureDrawing.h"
#include "worksheet/PuzzleData.h"
#include "worksheet/Random.h"

namespace tess {
namespace designs {
std::string_view WorksheetDialog();  // the stored design, compiled in (cmake/EmbedDesign.cmake)
}

namespace {

struct TextPair {
  const char* line1;
  const char* line2;
};

// By operation, then figure size. The first line is cut at 62 bytes (31 full-width characters) and the
// sentence goes on in the second.
constexpr std::array<std::array<TextPair, 4>, 2> kInstructionTexts{{
    {{
        {"１～７の数を１回ずつ使って、四角形の頂点の合計がそれぞれの四角",
         "形の中の指定された数になるように入れなさい。"},
        {"１～９の数を１回ずつ使って、四角形の頂点の合計がそれぞれの四角",
         "形の中の指定された数になるように入れなさい。"},
        {"１～１１の数を１回ずつ使って、四角形の頂点の合計がそれぞれの四",
         "角形の中の指定された数になるように入れなさい。"},
        {"１～１３の数を１回ずつ使って、四角形の頂点の合計がそれぞれの四",
         "角形の中の指定された数になるように入れなさい。"},
    }},
    {{
        {"１～７の数を１回ずつ使って、四角形の頂点の積がそれぞれの四角形",
         "の中の指定された数になるように入れなさい。"},
        {"１～９の数を１回ずつ使って、四角形の頂点の積がそれぞれの四角形",
         "の中の指定された数になるように入れなさい。"},
        {"１～１１の数を１回ずつ使って、四角形の頂点の積がそれぞれの四角",
         "形の中の指定された数になるように入れなさい。"},
        {"１～１３の数を１回ずつ使って、四角形の頂点の積がそれぞれの四角",
         "形の中の指定された数になるように入れなさい。"},
    }},
}};

}  // namespace

std::optional<std::pair<Cp932String, Cp932String>> InstructionTexts(int operation, int sizeIndex) {
  if (operation < 0 || operation > 1 || sizeIndex < 0 || sizeIndex > 3) return std::nullopt;
  const TextPair& pair =
      kInstructionTexts[static_cast<std::size_t>(operation)][static_cast<std::size_t>(sizeIndex)];
  return std::make_pair(Cp932String::FromUtf8(pair.line1), Cp932String::FromUtf8(pair.line2));
}

namespace {
// Index of OnPrint among the preview component's stored event names.
constexpr int kOnPrintEventIndex = 7;
}  // namespace

template <class T>
T* TForm1::Bind(const char* name) {
  T* component = dynamic_cast<T*>(FindComponent(name));
  if (component == nullptr) {
    ReportDesignProblem(std::string(name) + ": missing from the stored design or of another class");
  }
  return component;
}

TForm1::TForm1(TComponent* owner) : TForm(owner) {
  SetName("Form1");
  RegisterComponentClass<TCStringList>();
  RegisterComponentClass<TplPrev>();
  RegisterComponentClass<TplSetPrinter>();
  PublishMethod<TNotifyEvent>("FormCreate", [this](TComponent* s) { FormCreate(s); });
  PublishMethod<TNotifyEvent>("FormShow", [this](TComponent* s) { FormShow(s); });
  PublishMethod<TNotifyEvent>("btnPreviewClick", [this](TComponent* s) { btnPreviewClick(s); });
  PublishMethod<TNotifyEvent>("SquareNumsClick", [this](TComponent* s) { SquareNumsClick(s); });
  PublishMethod<TNotifyEvent>("rgOpeClick", [this](TComponent* s) { rgOpeClick(s); });
  ReadDesign(designs::WorksheetDialog());

  SquareNums = Bind<TRadioGroup>("SquareNums");
  LevelType = Bind<TRadioGroup>("LevelType");
  BitBtn1 = Bind<TBitBtn>("BitBtn1");
  btnPreview = Bind<TButton>("btnPreview");
  plPrev1 = Bind<TplPrev>("plPrev1");
  plSetPrinter1 = Bind<TplSetPrinter>("plSetPrinter1");
  Square3 = Bind<TCStringList>("Square3");
  Square4 = Bind<TCStringList>("Square4");
  Square5 = Bind<TCStringList>("Square5");
  Square6 = Bind<TCStringList>("Square6");
  Bevel1 = Bind<TBevel>("Bevel1");
  Label1 = Bind<TLabel>("Label1");
  edtQuestMes1 = Bind<TEdit>("edtQuestMes1");
  Label2 = Bind<TLabel>("Label2");
  edtQuestMes2 = Bind<TEdit>("edtQuestMes2");
  Label3 = Bind<TLabel>("Label3");
  edtPrintNum = Bind<TEdit>("edtPrintNum");
  rgDate = Bind<TRadioGroup>("rgDate");
  rgOpe = Bind<TRadioGroup>("rgOpe");
  chkOneAnswer = Bind<TCheckBox>("chkOneAnswer");
  Label4 = Bind<TLabel>("Label4");
  spnCount = Bind<TSpinEdit>("spnCount");
  // A form without its controls would fail at the first click; it is an error of the program instead.
  if (!DesignReport().Clean()) {
    for (const std::string& problem : DesignReport().problems) {
      if (problem.find("missing from the stored design") != std::string::npos) {
        throw EReadError(Cp932String::FromBytes("Form1: " + problem));
      }
    }
  }

  // The preview component stores the name of the handler of its OnPrint event.
  if (plPrev1 != nullptr && plPrev1->EventMethodName(kOnPrintEventIndex) == "plPrev1Print") {
    plPrev1->OnPrint = [this](TComponent* sender, int page) { plPrev1Print(sender, page); };
  }

  DoCreate();
}

void TForm1::FormCreate(TComponent* /*Sender*/) {
  Randomize();
  // Worksheets are A4: the preview asks for A4 on every printer it builds or prints for, and fits the page
  // to the paper of one that has none. Whether this printer took it is FormShow's to see.
  if (plPrev1 != nullptr) plPrev1->SetDocumentPaper(DMPAPER_A4);
  if (plSetPrinter1 != nullptr) plSetPrinter1->SetPaperSizeChecked(DMPAPER_A4);
  auto texts = InstructionTexts(0, 0);
  edtQuestMes1->SetText(texts->first);
  edtQuestMes2->SetText(texts->second);
}

void TForm1::SquareNumsClick(TComponent* /*Sender*/) {
  auto texts = InstructionTexts(rgOpe->ItemIndex(), SquareNums->ItemIndex());
  if (!texts) return;
  edtQuestMes1->SetText(texts->first);
  edtQuestMes2->SetText(texts->second);
}

void TForm1::rgOpeClick(TComponent* Sender) {
  SquareNumsClick(Sender);
}

}  // namespace tess

namespace tess {

namespace {

// d printer dots at r dots per inch in 0.1 mm: an integer product divided in floating point, the fraction
// dropped. The product is taken in 64 bits and the result kept in the int range, so that a printer
// reporting absurd capabilities gives a large value instead of a wrapped one.
int DotsToPageUnits(int dots, int dotsPerInch) {
  const double units = static_cast<double>(static_cast<long long>(dots) * 254) / dotsPerInch;
  return static_cast<int>(std::clamp(units, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

}  // namespace

void TForm1::FormShow(TComponent* /*Sender*/) {
  if (plSetPrinter1 == nullptr) return;
  // A4 on the printer chosen now (it may have been chosen since start-up).
  const bool a4 = plSetPrinter1->SetPaperSizeChecked(DMPAPER_A4);
  const int dpiX = plSetPrinter1->DeviceCaps(dcPixelsPerInchX);
  const int dpiY = plSetPrinter1->DeviceCaps(dcPixelsPerInchY);
  if (dpiX <= 0 || dpiY <= 0 || !a4) {
    // No printer (every capability is 0 and the conversion has no value), or one without A4 paper: the
    // worksheet is laid out on the A4 values the preview component keeps (its stored paper values) and
    // the header takes their printable area, not the other paper's.
    const TplPaperLayout paper = plPrev1->DocumentPaperLayout();
    FPrintArea = {paper.PrintableLeft, paper.PrintableTop, paper.PrintableRight - paper.PrintableLeft};
    return;
  }
  FPrintArea.left = DotsToPageUnits(plSetPrinter1->DeviceCaps(dcOffsetLeft), dpiX);
  FPrintArea.top = DotsToPageUnits(plSetPrinter1->DeviceCaps(dcOffsetTop), dpiY);
  FPrintArea.width = DotsToPageUnits(plSetPrinter1->DeviceCaps(dcPrintableWidth), dpiX);
}

WorksheetSettings TForm1::CurrentSettings() const {
  WorksheetSettings settings;
  settings.sizeIndex = SquareNums->ItemIndex();
  settings.level = LevelType->ItemIndex();
  settings.operation = rgOpe->ItemIndex();
  settings.dateLine = rgDate->ItemIndex() == 1;
  settings.oneAnswer = chkOneAnswer->Checked();
  settings.line1 = edtQuestMes1->Text();
  settings.line2 = edtQuestMes2->Text();
  return settings;
}

CatalogueSet TForm1::Catalogues() {
  // The catalogues are generated rather than stored: one the design carries no lines for gets them here,
  // when the first worksheet is built. Made at start-up they would slow the window's appearance; made
  // here they cost the first preview a few milliseconds.
  int n = 3;
  for (TCStringList* square : {Square3, Square4, Square5, Square6}) {
    if (square->Strings().Count() == 0) {
      TStringList lines;
      TakeGeneratedCatalogue(lines, n);
      square->SetStrings(&lines);
    }
    ++n;
  }
  return {&Square3->Strings(), &Square4->Strings(), &Square5->Strings(), &Square6->Strings()};
}

void TForm1::MakeData(int Kind, int Level) {
  const CatalogueSet catalogues = Catalogues();
  if (Kind < 0 || Kind >= static_cast<int>(catalogues.size())) return;
  const TStringList& catalogue = *catalogues[static_cast<std::size_t>(Kind)];
  // The difficulty matters only to one-answer puzzles, whose given positions are chosen with them.
  if (chkOneAnswer->Checked()) {
    MakeOneAnswerPuzzleData(catalogue, Kind, Level, rgOpe->ItemIndex(), PuzzleData());
  } else {
    MakePuzzleData(catalogue, Kind, PuzzleData());
  }
}

void TForm1::DrawMagicStarLine(TCustomplPrev* Document, int Kind, int CenterX, int CenterY, int Radius,
                               int FontHeight, int PenWidth, int Slot, int AnswerPage) {
  DrawPuzzleFigure(*Document, {Kind, CenterX, CenterY, Radius, FontHeight, PenWidth},
                   PuzzleData().at(static_cast<std::size_t>(Slot)),
                   {AnswerPage, LevelType->ItemIndex(), rgOpe->ItemIndex()});
}

int TForm1::SheetCount() const {
  return spnCount != nullptr ? std::max(1, spnCount->Value()) : 1;
}

void TForm1::BuildDocument(GivenPositionTable* shownGivens) {
  // Not an integer, or a set whose numbers the counter cannot hold (it counts down to the number before
  // the first worksheet's, less one for each further worksheet, and up to the number after the last
  // one's): the error goes to the general handler before anything has changed.
  const int problemNo = StrToInt(edtPrintNum->Text());
  const int count = SheetCount();
  const long long last = static_cast<long long>(problemNo) + count - 1;
  if (problemNo < ProblemNoRangeLow(count) || last > kHighestProblemNo) {
    throw EConvertError(Cp932String("'") + edtPrintNum->Text() +
                        Cp932String::FromUtf8("' は問題番号の範囲 ") + IntToStr(ProblemNoRangeLow(count)) +
                        Cp932String::FromUtf8(" ～ ") + IntToStr(kHighestProblemNo - (count - 1)) +
                        Cp932String::FromUtf8(" の外です"));
  }
  FProblemNo = problemNo;
  BuildWorksheets(
      *plPrev1, CurrentSettings(), FPrintArea, FProblemNo, count, Catalogues(), [this] { --FProblemNo; },
      shownGivens);
}

void TForm1::btnPreviewClick(TComponent* /*Sender*/) {
  BuildDocument();
  plPrev1->Preview();
}

void TForm1::plPrev1Print(TComponent* /*Sender*/, int /*Page*/) {
  // Printing the same document again and again counts on; at the end of the range the count stops
  // rather than wrapping round.
  if (FProblemNo == INT32_MAX) return;
  ++FProblemNo;
  edtPrintNum->SetText(IntToStr(FProblemNo));
}

}  // namespace tess

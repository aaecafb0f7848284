#pragma once
// Form1: the worksheet dialog, the program's main form. Its controls, their places and defaults come
// from its stored design (WorksheetDialog.json); this unit keeps the instruction texts in step with the
// chosen figure size and operation.

#include <optional>
#include <utility>

#include "platform/ui/Bevel.h"
#include "platform/ui/BitBtn.h"
#include "platform/ui/Button.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Label.h"
#include "platform/ui/RadioGroup.h"
#include "platform/ui/SpinEdit.h"
#include "preview/PreviewDocument.h"
#include "printer_settings/PrinterSettings.h"
#include "worksheet/CatalogueList.h"
#include "worksheet/WorksheetPage.h"

namespace tess {

class TForm1 : public TForm {
  TESS_COMPONENT_CLASS(TForm1, TForm)
 public:
  // Creates the form from its stored design, then runs FormCreate.
  // Throws EReadError when the design cannot be read or lacks one of the form's components.
  explicit TForm1(TComponent* owner);

  // Published components, in declaration order.
  TRadioGroup* SquareNums = nullptr;
  TRadioGroup* LevelType = nullptr;
  TBitBtn* BitBtn1 = nullptr;
  TButton* btnPreview = nullptr;
  TplPrev* plPrev1 = nullptr;
  TplSetPrinter* plSetPrinter1 = nullptr;
  TCStringList* Square3 = nullptr;
  TCStringList* Square4 = nullptr;
  TCStringList* Square5 = nullptr;
  TCStringList* Square6 = nullptr;
  TBevel* Bevel1 = nullptr;
  TLabel* Label1 = nullptr;
  TEdit* edtQuestMes1 = nullptr;
  TLabel* Label2 = nullptr;
  TEdit* edtQuestMes2 = nullptr;
  TLabel* Label3 = nullptr;
  TEdit* edtPrintNum = nullptr;
  TRadioGroup* rgDate = nullptr;
  TRadioGroup* rgOpe = nullptr;
  TCheckBox* chkOneAnswer = nullptr;  // every figure's question has exactly one answer
  TLabel* Label4 = nullptr;
  TSpinEdit* spnCount = nullptr;  // worksheets one "プレビュー" makes, each with its own number

  // Published methods.
  void DrawMagicStarLine(TCustomplPrev* Document, int Kind, int CenterX, int CenterY, int Radius,
                         int FontHeight, int PenWidth, int Slot, int AnswerPage);
  void MakeData(int Kind, int Level);
  void btnPreviewClick(TComponent* Sender);
  // What "プレビュー" does before the preview opens: the problem number read from edtPrintNum (the
  // conversion error when it is not an integer, a message when the set's numbers leave the counter's range)
  // and the worksheets built on plPrev1, as many as spnCount says, numbered from it. The problem number then
  // stands that many below the first, and every printed page counts it up by one.
  void BuildDocument(GivenPositionTable* shownGivens = nullptr);
  // The worksheets one build makes (spnCount).
  int SheetCount() const;
  void FormCreate(TComponent* Sender);
  void FormShow(TComponent* Sender);
  void SquareNumsClick(TComponent* Sender);
  void plPrev1Print(TComponent* Sender, int Page);
  void rgOpeClick(TComponent* Sender);

  // The worksheet being built or printed, and the printable area frame the header is placed in.
  int ProblemNo() const { return FProblemNo; }
  const PrintAreaFrame& PrintArea() const { return FPrintArea; }
  // The dialog's settings as they stand now.
  WorksheetSettings CurrentSettings() const;
  // The four puzzle catalogues; one the design carries no lines for gets the generated lines first.
  CatalogueSet Catalogues();

 private:
  int FProblemNo = 0;
  PrintAreaFrame FPrintArea;  // PrintAreaLeft, PrintAreaTop, PrintAreaWidth

  template <class T>
  T* Bind(const char* name);
};

// The two instruction lines for an operation (rgOpe: 0 sum, 1 product) and figure size (SquareNums: 0..3
// for 3..6 quadrilaterals); nothing for a selection outside the table. Each first line is 62 bytes.
std::optional<std::pair<Cp932String, Cp932String>> InstructionTexts(int operation, int sizeIndex);

}  // namespace tess

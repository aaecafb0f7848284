#pragma once
// The system's printing dialogs: the print dialog (printer, pages, copies, sides) and the print-setup dialog
// (printer, paper, source, orientation). Both work on the printer object of Printer(): they read its
// printer list again when they open, open on its current printer and settings and, when confirmed, leave
// the chosen printer and settings current.
//
// Tests never wait for a modal window: they install a script that plays the user (sets the choices and
// answers confirm or cancel) with SetPrintDialogScript / SetPrinterSetupDialogScript, or a driver that works
// the real print dialog through simulated input (SetPrintDialogDriver, platform/ui/PrintDialogInput.h).
// Without either on a platform without a display (offscreen), a dialog answers "cancelled" at once instead
// of waiting for ever.

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "platform/components/Component.h"
#include "platform/components/Events.h"
#include "platform/printing/Printers.h"

namespace tess {

class TPrinterSetupDialog : public TComponent {
  TESS_COMPONENT_CLASS(TPrinterSetupDialog, TCommonDialog)
 public:
  explicit TPrinterSetupDialog(TComponent* owner);
  ~TPrinterSetupDialog() override;

  TNotifyEvent OnShow;   // the dialog has opened, its boxes are filled
  TNotifyEvent OnClose;  // the dialog is closing, its boxes still readable

  // Shows the dialog modally; true when the user confirmed it.
  bool Execute();

  // The boxes while the dialog is shown, and as they were when it closed.
  int PrinterChoice() const { return FPrinterChoice; }  // index into Printer().Printers()
  void SetPrinterChoice(int index);                     // refills the paper and source boxes
  const Cp932String& PaperText() const { return FPaperText; }
  void SetPaperText(const Cp932String& text) { FPaperText = text; }
  const Cp932String& SourceText() const { return FSourceText; }
  void SetSourceText(const Cp932String& text) { FSourceText = text; }
  bool PortraitChecked() const { return FPortrait; }
  void SetPortraitChecked(bool portrait) { FPortrait = portrait; }
  const std::vector<TPaperEntry>& PaperItems() const { return FPapers; }
  const std::vector<TBinEntry>& SourceItems() const { return FBins; }

  // Whether a confirmed dialog hands its choices to the printer (true). A script sets false to play a
  // driver that does not take the dialog's choices over.
  void SetAppliesChoices(bool applies) { FAppliesChoices = applies; }

 private:
  void LoadFromPrinter();
  void ApplyToPrinter();
  bool RunWindow();
  int FPrinterChoice = -1;
  Cp932String FPaperText;
  Cp932String FSourceText;
  bool FPortrait = true;
  bool FAppliesChoices = true;
  std::vector<TPaperEntry> FPapers;
  std::vector<TBinEntry> FBins;
};

enum class TPrintRange { prAllPages, prSelection, prPageNums };
enum class TPrintPageSet { psAll, psOdd, psEven };  // by page number

class TPrintDialog : public TComponent {
  TESS_COMPONENT_CLASS(TPrintDialog, TCommonDialog)
 public:
  explicit TPrintDialog(TComponent* owner);
  ~TPrintDialog() override;

  int FromPage() const { return FFromPage; }
  void SetFromPage(int v) { FFromPage = v; }
  int ToPage() const { return FToPage; }
  void SetToPage(int v) { FToPage = v; }
  int MinPage() const { return FMinPage; }
  void SetMinPage(int v) { FMinPage = v; }
  int MaxPage() const { return FMaxPage; }
  void SetMaxPage(int v) { FMaxPage = v; }
  TPrintRange PrintRange() const { return FRange; }
  // Chooses all pages or, with prPageNums, the from-to range; the "Pages" entry is no longer chosen.
  void SetPrintRange(TPrintRange r) {
    FRange = r;
    FPagesChosen = false;
  }
  // The "Pages" entry as typed: page numbers and ranges separated by commas ("1,3-4"; full-width digits,
  // commas and dashes too). SetPagesText chooses it with that text. When the dialog is confirmed the entry
  // becomes PageList, FromPage and ToPage (prPageNums); an entry that is empty or cannot be read, or that
  // names a page outside MinPage..MaxPage (when MaxPage is at least 1), is refused with a message box and
  // the dialog is shown again as the user left it (a script runs again). A script still refused after
  // kScriptRounds rounds answers "cancelled", so a test cannot go round for ever.
  bool PagesChosen() const { return FPagesChosen; }
  const Cp932String& PagesText() const { return FPagesText; }
  void SetPagesText(const Cp932String& text) {
    FPagesText = text;
    FPagesChosen = true;
    FRange = TPrintRange::prPageNums;
  }
  static constexpr int kScriptRounds = 10;
  // The printer chosen in the dialog (index into Printer().Printers() as the dialog opened), or chosen by
  // name. When the dialog is confirmed the name is looked up again, in a list read anew when it is not
  // there; a printer that is no longer installed is an error (EPrinterError), never another printer.
  int PrinterChoice() const { return FPrinterChoice; }
  void SetPrinterChoice(int index);
  const Cp932String& PrinterChoiceName() const { return FPrinterName; }
  void ChoosePrinter(const Cp932String& name) { FPrinterName = name; }

  // The pages for the caller to print: the "Pages" list (ranges of page numbers; empty when the pages run
  // from FromPage to ToPage, or are all pages), odd or even pages only, last page first. A list a script
  // sets is held to MinPage..MaxPage as the "Pages" entry is.
  const std::vector<std::pair<int, int>>& PageList() const { return FPageList; }
  void SetPageList(std::vector<std::pair<int, int>> ranges) { FPageList = std::move(ranges); }
  TPrintPageSet PageSet() const { return FPageSet; }
  void SetPageSet(TPrintPageSet set) { FPageSet = set; }
  bool Reverse() const { return FReverse; }
  void SetReverse(bool reverse) { FReverse = reverse; }
  // Copies, their collation and the sides (DMDUP_*): the dialog opens with the printer's settings and, when
  // confirmed, puts these into the chosen printer's settings, which every job on it carries.
  int Copies() const { return FCopies; }
  void SetCopies(int copies) { FCopies = copies; }
  bool Collate() const { return FCollate; }
  void SetCollate(bool collate) { FCollate = collate; }
  std::int16_t Duplex() const { return FDuplex; }
  void SetDuplex(std::int16_t duplex) { FDuplex = duplex; }

  // Shows the dialog modally; true when the user confirmed it. The from-to page numbers are kept within
  // MinPage..MaxPage; the chosen printer becomes the printer object's current one.
  bool Execute();

 private:
  bool RunWindow();
  // Reads the "Pages" entry (when chosen) into the page list and checks the list against MinPage..MaxPage;
  // the message for the user when the choice cannot be printed.
  std::optional<Cp932String> ReadPageChoice();
  void LoadJobSettings();
  void ApplyJobSettings();
  int FFromPage = 0;
  int FToPage = 0;
  int FMinPage = 0;
  int FMaxPage = 0;
  TPrintRange FRange = TPrintRange::prAllPages;
  bool FPagesChosen = false;
  Cp932String FPagesText;
  int FPrinterChoice = -1;
  Cp932String FPrinterName;
  std::vector<std::pair<int, int>> FPageList;
  TPrintPageSet FPageSet = TPrintPageSet::psAll;
  bool FReverse = false;
  int FCopies = 1;
  bool FCollate = true;
  std::int16_t FDuplex = DMDUP_SIMPLEX;
};

// A script plays the user of a dialog: it may change the choices and answers true to confirm. An empty
// script shows the real window.
using TPrinterSetupDialogScript = std::function<bool(TPrinterSetupDialog&)>;
using TPrintDialogScript = std::function<bool(TPrintDialog&)>;
void SetPrinterSetupDialogScript(TPrinterSetupDialogScript script);
void SetPrintDialogScript(TPrintDialogScript script);

// A driver plays the user of the real print dialog (the toolkit's window, not a script): it runs once the
// window is up, on a platform without a display too, and works it with the operations of
// platform/ui/PrintDialogInput.h, which go through the same input path as the user's keyboard and mouse. A
// driver that returns with the dialog still open cancels it. An empty driver: the window waits for the user.
class TPrintDialogWindow;
using TPrintDialogDriver = std::function<void(TPrintDialogWindow&)>;
void SetPrintDialogDriver(TPrintDialogDriver driver);

}  // namespace tess

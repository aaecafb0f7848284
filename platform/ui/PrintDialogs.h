#pragma once
// The system's printing dialogs: the print dialog (printer, pages, copies, sides) and the print-setup dialog
// (printer, paper, source, orientation). Both work on the printer object of Printer(): they read its
// printer list again when they open, open on its current printer and settings and, when confirmed, leave
// the chosen printer and settings current.
//
// Tests never show a modal window: they install a script that plays the user (sets the choices and answers
// confirm or cancel) with SetPrintDialogScript / SetPrinterSetupDialogScript. Without a script on a platform
// without a display (offscreen), a dialog answers "cancelled" at once instead of waiting for ever.

#include <cstdint>
#include <functional>
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
  int PrinterChoice() const { return printerChoice_; }  // index into Printer().Printers()
  void SetPrinterChoice(int index);                     // refills the paper and source boxes
  const Cp932String& PaperText() const { return paperText_; }
  void SetPaperText(const Cp932String& text) { paperText_ = text; }
  const Cp932String& SourceText() const { return sourceText_; }
  void SetSourceText(const Cp932String& text) { sourceText_ = text; }
  bool PortraitChecked() const { return portrait_; }
  void SetPortraitChecked(bool portrait) { portrait_ = portrait; }
  const std::vector<TPaperEntry>& PaperItems() const { return papers_; }
  const std::vector<TBinEntry>& SourceItems() const { return bins_; }

  // Whether a confirmed dialog hands its choices to the printer (true). A script sets false to play a
  // driver that does not take the dialog's choices over.
  void SetAppliesChoices(bool applies) { appliesChoices_ = applies; }

 private:
  void LoadFromPrinter();
  void ApplyToPrinter();
  bool RunWindow();
  int printerChoice_ = -1;
  Cp932String paperText_;
  Cp932String sourceText_;
  bool portrait_ = true;
  bool appliesChoices_ = true;
  std::vector<TPaperEntry> papers_;
  std::vector<TBinEntry> bins_;
};

enum class TPrintRange { prAllPages, prSelection, prPageNums };
enum class TPrintPageSet { psAll, psOdd, psEven };  // by page number

class TPrintDialog : public TComponent {
  TESS_COMPONENT_CLASS(TPrintDialog, TCommonDialog)
 public:
  explicit TPrintDialog(TComponent* owner);
  ~TPrintDialog() override;

  int FromPage() const { return fromPage_; }
  void SetFromPage(int v) { fromPage_ = v; }
  int ToPage() const { return toPage_; }
  void SetToPage(int v) { toPage_ = v; }
  int MinPage() const { return minPage_; }
  void SetMinPage(int v) { minPage_ = v; }
  int MaxPage() const { return maxPage_; }
  void SetMaxPage(int v) { maxPage_ = v; }
  TPrintRange PrintRange() const { return range_; }
  void SetPrintRange(TPrintRange r) { range_ = r; }
  // The printer chosen in the dialog (index into Printer().Printers() as the dialog opened), or chosen by
  // name. When the dialog is confirmed the name is looked up again, in a list read anew when it is not
  // there; a printer that is no longer installed is an error (EPrinterError), never another printer.
  int PrinterChoice() const { return printerChoice_; }
  void SetPrinterChoice(int index);
  const Cp932String& PrinterChoiceName() const { return printerName_; }
  void ChoosePrinter(const Cp932String& name) { printerName_ = name; }

  // The pages for the caller to print: the "Pages" list (ranges of page numbers; empty when the pages run
  // from FromPage to ToPage, or are all pages), odd or even pages only, last page first.
  const std::vector<std::pair<int, int>>& PageList() const { return pageList_; }
  void SetPageList(std::vector<std::pair<int, int>> ranges) { pageList_ = std::move(ranges); }
  TPrintPageSet PageSet() const { return pageSet_; }
  void SetPageSet(TPrintPageSet set) { pageSet_ = set; }
  bool Reverse() const { return reverse_; }
  void SetReverse(bool reverse) { reverse_ = reverse; }
  // Copies, their collation and the sides (DMDUP_*): the dialog opens with the printer's settings and, when
  // confirmed, puts these into the chosen printer's settings, which every job on it carries.
  int Copies() const { return copies_; }
  void SetCopies(int copies) { copies_ = copies; }
  bool Collate() const { return collate_; }
  void SetCollate(bool collate) { collate_ = collate; }
  std::int16_t Duplex() const { return duplex_; }
  void SetDuplex(std::int16_t duplex) { duplex_ = duplex; }

  // Shows the dialog modally; true when the user confirmed it. The page numbers are kept within
  // MinPage..MaxPage; the chosen printer becomes the printer object's current one.
  bool Execute();

 private:
  bool RunWindow();
  void LoadJobSettings();
  void ApplyJobSettings();
  int fromPage_ = 0;
  int toPage_ = 0;
  int minPage_ = 0;
  int maxPage_ = 0;
  TPrintRange range_ = TPrintRange::prAllPages;
  int printerChoice_ = -1;
  Cp932String printerName_;
  std::vector<std::pair<int, int>> pageList_;
  TPrintPageSet pageSet_ = TPrintPageSet::psAll;
  bool reverse_ = false;
  int copies_ = 1;
  bool collate_ = true;
  std::int16_t duplex_ = DMDUP_SIMPLEX;
};

// A script plays the user of a dialog: it may change the choices and answers true to confirm. An empty
// script shows the real window.
using TPrinterSetupDialogScript = std::function<bool(TPrinterSetupDialog&)>;
using TPrintDialogScript = std::function<bool(TPrintDialog&)>;
void SetPrinterSetupDialogScript(TPrinterSetupDialogScript script);
void SetPrintDialogScript(TPrintDialogScript script);

}  // namespace tess

#include "preview/PrinterAccess.h"

#include "platform/core/Messages.h"
#include "platform/printing/Printers.h"

namespace tess {

Cp932String SystemPrinterName() {
  TPrinterSystem& printer = Printer();
  int index = printer.PrinterIndex();
  const std::vector<Cp932String>& entries = printer.Printers();
  if (index < 0 || index >= static_cast<int>(entries.size())) return {};
  return entries[static_cast<std::size_t>(index)];
}

Cp932String PrinterProblem(const Cp932String& printer) {
  return Printer().PrinterProblem(printer);
}

namespace {

class TSystemPrintJob : public TPreviewPrintJob {
 public:
  explicit TSystemPrintJob(const Cp932String& title) { Printer().BeginDoc(title); }
  ~TSystemPrintJob() override {
    // This may run while an earlier failure is on its way out: a failure here must not leave.
    try {
      if (!FEnded) Withdraw();
    } catch (const std::exception&) {
    }
  }
  TCanvas& Canvas() override {
    TCanvas* canvas = Printer().Canvas();
    if (canvas == nullptr) throw EPrinterError(MessageCp932("printing.no-canvas"));
    return *canvas;
  }
  void NewPage() override { Printer().NewPage(); }
  void End() override {
    FEnded = true;
    if (Printer().Printing()) Printer().EndDoc();
  }
  void Abort() override { Withdraw(); }

 private:
  // Not virtual: the destructor calls it too.
  void Withdraw() {
    FEnded = true;
    if (Printer().Printing()) Printer().Abort();
  }

  bool FEnded = false;
};

}  // namespace

std::unique_ptr<TPreviewPrintJob> StartPreviewPrintJob(const Cp932String& title) {
  return std::make_unique<TSystemPrintJob>(title);
}

}  // namespace tess

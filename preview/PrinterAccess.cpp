#include "preview/PrinterAccess.h"

#include "platform/printing/Printers.h"

namespace tess {

Cp932String SystemPrinterName() {
  TPrinterSystem& printer = Printer();
  int index = printer.PrinterIndex();
  const std::vector<Cp932String>& entries = printer.Printers();
  if (index < 0 || index >= static_cast<int>(entries.size())) return {};
  return entries[static_cast<std::size_t>(index)];
}

namespace {

class TSystemPrintJob : public TPreviewPrintJob {
 public:
  explicit TSystemPrintJob(const Cp932String& title) { Printer().BeginDoc(title); }
  ~TSystemPrintJob() override {
    // A job is always ended once started, also when the caller never got to End. This runs while an
    // earlier failure is on its way out, so a failure of the end itself must not leave the destructor.
    try {
      if (!FEnded && Printer().Printing()) Printer().EndDoc();
    } catch (const std::exception&) {
      try {
        Printer().Abort();
      } catch (const std::exception&) {
      }
    }
  }
  TCanvas& Canvas() override {
    TCanvas* canvas = Printer().Canvas();
    if (canvas == nullptr) throw EPrinterError(Cp932String::FromBytes("the print job has no canvas"));
    return *canvas;
  }
  void NewPage() override { Printer().NewPage(); }
  void End() override {
    FEnded = true;
    if (Printer().Printing()) Printer().EndDoc();
  }

 private:
  bool FEnded = false;
};

}  // namespace

std::unique_ptr<TPreviewPrintJob> StartPreviewPrintJob(const Cp932String& title) {
  return std::make_unique<TSystemPrintJob>(title);
}

}  // namespace tess

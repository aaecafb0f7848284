#pragma once
// The few things the preview component asks of the printer system directly (the paper and the settings go
// through its printer-settings component): the current printer's name, why a printer answers nothing, and
// print jobs.

#include <memory>

#include "platform/core/Cp932String.h"
#include "platform/gfx/Canvas.h"

namespace tess {

// Name of the system's current printer; empty when there is none.
Cp932String SystemPrinterName();

// Why the printer system answers nothing for the printer of that name: its print service does not answer
// ("CUPS is not reachable at ..."), or the printer is not installed or was not found; empty when nothing is
// known against it.
Cp932String PrinterProblem(const Cp932String& printer);

// One job on the current printer. Its canvas is in printer dots with the origin at the corner of the
// printable area.
class TPreviewPrintJob {
 public:
  virtual ~TPreviewPrintJob() = default;
  virtual TCanvas& Canvas() = 0;
  virtual void NewPage() = 0;
  // Ends the job: hands it over to the printer.
  virtual void End() = 0;
  // Withdraws the job: nothing of it is printed. A job neither ended nor withdrawn is withdrawn when it goes.
  virtual void Abort() = 0;
};

// Starts a job with the given title on the current printer; throws when it cannot be started.
std::unique_ptr<TPreviewPrintJob> StartPreviewPrintJob(const Cp932String& title);

}  // namespace tess

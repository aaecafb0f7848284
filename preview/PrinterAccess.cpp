#include "preview/PrinterAccess.h"

#include "platform/Exceptions.h"

namespace tess {

Cp932String SystemPrinterName() {
  return {};
}

std::unique_ptr<TPreviewPrintJob> StartPreviewPrintJob(const Cp932String& /*title*/) {
  throw Exception(Cp932String::FromBytes("no printer system"));
}

}  // namespace tess

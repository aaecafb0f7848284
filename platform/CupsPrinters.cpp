#include "platform/Printers.h"

namespace tess {

std::unique_ptr<TPrinterSystem> CreateCupsPrinterSystem() {
  return nullptr;
}

}  // namespace tess

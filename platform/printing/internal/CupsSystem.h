#pragma once
// The CUPS printer system made for a machine other than this process's: what CreateCupsPrinterSystem
// reads of the environment and the file system (SchedulerAddress.h) comes from `around`. For tests.

#include <memory>
#include <string>

#include "platform/printing/Printers.h"
#include "platform/printing/SchedulerAddress.h"

namespace tess {

std::unique_ptr<TPrinterSystem> CreateCupsPrinterSystemAround(const std::string& server, bool ippOnly,
                                                              const TClientSurroundings& around);

}  // namespace tess

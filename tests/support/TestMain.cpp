// Test main shared by every test executable: the platform is started once (offscreen), then GoogleTest runs.
// Tests see no printer unless they declare one: the process-wide printer system starts as an empty virtual
// one, so a printer installed on the machine never changes a test's outcome (the real-printer tests install
// the CUPS system themselves).
#include <gtest/gtest.h>

#include "platform/gfx/FontFaces.h"
#include "platform/printing/Printers.h"
#include "platform/printing/VirtualPrinters.h"
#include "platform/ui/Runtime.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  tess::EnsurePlatformStarted(argc, argv);
  tess::InstallFaceNameMapping();
  tess::SetPrinterSystem(std::make_unique<tess::TVirtualPrinterSystem>());
  return RUN_ALL_TESTS();
}

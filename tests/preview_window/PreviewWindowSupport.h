#pragma once
// Shared set-up of the preview window tests: a virtual printer (A4), the application's preview host, a
// preview component with a fixed window placement, recorded documents, captured message boxes; and the
// same without any printer installed.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/printing/VirtualPrinters.h"
#include "platform/ui/Application.h"
#include "platform/ui/PrintDialogs.h"
#include "preview/PreviewDocument.h"
#include "preview_window/PreviewWindowForm.h"
#include "preview_window/PreviewWindowHost.h"
#include "printer_settings/PrinterSettings.h"
#include "tests/support/MainFormPaper.h"
#include "tests/support/MessageBoxCapture.h"
#include "tests/support/PixelPrinterSystem.h"

namespace tess::test {

// An A4 laser printer at 100 dots per inch (small pages of pixels), its printable area 800 dots wide.
inline TVirtualPrinter SmallLaser(const Cp932String& name) {
  TVirtualPrinter laser = TVirtualPrinterSystem::StandardPrinter(name);
  laser.dpiX = 100;
  laser.dpiY = 100;
  laser.marginLeft = 13;
  laser.marginTop = 12;
  laser.marginRight = 14;
  laser.marginBottom = 17;
  return laser;
}

class PreviewWindowFixture : public ::testing::Test {
 protected:
  // The window's fixed outer size in these tests.
  static constexpr int kWindowWidth = 654;
  static constexpr int kWindowHeight = 498;

  void SetUp() override { Install(true); }

  void Install(bool withPrinter) {
    auto system = std::make_unique<TPixelPrinterSystem>();
    if (withPrinter) {
      TVirtualPrinter laser = SmallLaser("Laser");
      laser.attributes |= PRINTER_ATTRIBUTE_DEFAULT;
      system->AddPrinter(laser);
      system->AddPrinter(SmallLaser("Office Writer PDF"));
    }
    Printers = system.get();
    Scope = std::make_unique<TScopedPrinterSystem>(std::move(system));
    InstallPreviewWindowHost();
    Owner = std::make_unique<TComponent>(nullptr);
    Preview = new TplPrev(Owner.get());
    Preview->SetName("plPrev1");
    Preview->SetFormPosition(plprev::TPosition::poDesigned);
    Preview->SetFormLeft(0);
    Preview->SetFormTop(0);
    Preview->SetFormWidth(kWindowWidth);
    Preview->SetFormHeight(kWindowHeight);
  }

  void TearDown() override {
    // The handlers a test gives the component capture the test's locals by reference, and those are gone
    // by now: freeing a window the component owns still runs OnFormDestroy, which would write into a
    // finished stack frame. No handler of the test may run from here on.
    if (Preview != nullptr) {
      Preview->OnFormShow = nullptr;
      Preview->OnFormDestroy = nullptr;
      Preview->OnFormClose = nullptr;
      Preview->OnFormCloseQuery = nullptr;
      Preview->OnBeforeView = nullptr;
      Preview->OnAfterView = nullptr;
      Preview->OnResize = nullptr;
      Preview->OnPrint = nullptr;
      Preview->OnNoPrintDraw = nullptr;
      Preview->OnPrinterSetupDialog = nullptr;
      Preview->OnPrintButtonClick = nullptr;
    }
    if (Window() != nullptr && Window()->Visible()) Window()->Hide();
    Owner.reset();
    Preview = nullptr;  // freed with its owner
    Application().ProcessMessages();
    SetPrintDialogScript(nullptr);
    SetPrinterSetupDialogScript(nullptr);
    SetPreviewHost(nullptr);
    Scope.reset();
  }

  // A document of `pages` pages; page k carries the number k in large figures and a frame.
  void Record(int pages) {
    Preview->BeginDoc();
    for (int k = 1; k <= pages; ++k) {
      if (k > 1) Preview->NewPage();
      TCanvas& c = *Preview->Canvas();
      c.Pen().SetWidth(8);
      c.MoveTo(200, 200);
      c.LineTo(1900, 200);
      c.LineTo(1900, 2700);
      c.LineTo(200, 2700);
      c.LineTo(200, 200);
      c.Font().SetHeight(-600);
      Preview->TextOutCenter(1050, 900, IntToStr(k));
      c.Font().SetHeight(-60);
      Preview->TextOutLeft(250, 2500, Cp932String::FromUtf8("ページ ") + IntToStr(k));
    }
    Preview->EndDoc();
  }

  // Shows the window without waiting (the component finds or creates it).
  TplPrevForm* ShowModeless() {
    Preview->ShowPreview();
    Application().ProcessMessages();
    return Window();
  }

  TplPrevForm* Window() const {
    return Preview == nullptr ? nullptr : dynamic_cast<TplPrevForm*>(Preview->PreviewForm());
  }

  TMessageBoxCapture Captured;
  std::vector<TMessageBoxRequest>& Boxes = Captured.Boxes;
  TPixelPrinterSystem* Printers = nullptr;
  std::unique_ptr<TScopedPrinterSystem> Scope;
  std::unique_ptr<TComponent> Owner;
  TplPrev* Preview = nullptr;
};

// No printer installed: the preview takes its paper from the main form's stored design.
class PreviewWindowNoPrinterFixture : public PreviewWindowFixture {
 protected:
  void SetUp() override {
    Install(false);
    LoadMainFormPaper(*Preview);
  }
};

}  // namespace tess::test

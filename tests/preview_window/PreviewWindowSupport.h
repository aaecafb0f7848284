#pragma once
// Shared set-up of the preview window tests: a virtual printer (A4), the application's preview host, a
// preview component with a fixed window placement, recorded documents, captured message boxes.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Application.h"
#include "platform/gfx/Bitmap.h"
#include "platform/ui/PrintDialogs.h"
#include "platform/printing/VirtualPrinters.h"
#include "preview/PreviewDocument.h"
#include "preview_window/PreviewWindowForm.h"
#include "preview_window/PreviewWindowHost.h"
#include "printer_settings/PrinterSettings.h"

namespace tess::test {

// Virtual printers whose jobs keep every page's pixels: the job's canvas is a bitmap of the printable area
// at the printer's resolution, origin at its top-left corner.
class TPixelPrinterSystem : public TVirtualPrinterSystem {
 public:
  std::vector<TBitmap24> Pages;

 protected:
  std::unique_ptr<TPrintJob> StartJob(const TPrinterRecord& printer, std::span<const std::uint8_t> block,
                                      const Cp932String& title) override {
    std::unique_ptr<TPrintJob> inner = TVirtualPrinterSystem::StartJob(printer, block, title);
    return std::make_unique<TPixelJob>(*this, std::move(inner), Jobs().back().caps);
  }

 private:
  class TPixelJob : public TPrintJob {
   public:
    TPixelJob(TPixelPrinterSystem& system, std::unique_ptr<TPrintJob> inner, TDeviceCaps caps)
        : FSystem(system), FInner(std::move(inner)), FCaps(caps) {
      StartPage();
    }
    TCanvas* Canvas() override { return &FPage->Canvas(FCaps.logPixelsX, FCaps.logPixelsY); }
    void NewPage() override {
      FinishPage();
      StartPage();
      FInner->NewPage();
    }
    void End() override {
      FinishPage();
      FInner->End();
    }
    void Abort() override { FInner->Abort(); }

   private:
    void StartPage() { FPage = std::make_unique<TBitmap24>(FCaps.horzRes, FCaps.vertRes); }
    void FinishPage() {
      if (!FPage) return;
      FPage->ReleaseCanvas();
      FSystem.Pages.push_back(*FPage);
      FPage.reset();
    }
    TPixelPrinterSystem& FSystem;
    std::unique_ptr<TPrintJob> FInner;
    TDeviceCaps FCaps;
    std::unique_ptr<TBitmap24> FPage;
  };
};

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

struct TCapturedBox {
  std::string Text;  // UTF-8
  std::string Caption;
  TMsgIcon Icon;
};

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
    SavedHook = Application().SetMessageBoxHook([this](const TMessageBoxRequest& r) {
      Boxes.push_back({r.Text.ToUtf8(), r.Caption.ToUtf8(), r.Icon});
      return mrOk;
    });
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
    if (Window() != nullptr && Window()->Visible()) Window()->Hide();
    Owner.reset();
    Application().ProcessMessages();
    Application().SetMessageBoxHook(SavedHook);
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

  TPixelPrinterSystem* Printers = nullptr;
  std::unique_ptr<TScopedPrinterSystem> Scope;
  std::unique_ptr<TComponent> Owner;
  TplPrev* Preview = nullptr;
  std::vector<TCapturedBox> Boxes;
  TMessageBoxHook SavedHook;
};

}  // namespace tess::test

#pragma once
// A printer test double: virtual printers whose jobs also keep every page's pixels.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/printing/VirtualPrinters.h"

namespace tess::test {

// Virtual printers whose jobs keep every page's pixels: the job's canvas is a bitmap of the printable area
// at the printer's resolution, origin at its top-left corner. The jobs are recorded as the virtual system
// records them.
class TPixelPrinterSystem : public TVirtualPrinterSystem {
 public:
  std::vector<TBitmap24> Pages;  // every finished page of every job, in order
  bool RefuseJobs = false;       // the driver starts no job

 protected:
  std::unique_ptr<TPrintJob> StartJob(const TPrinterRecord& printer, std::span<const std::uint8_t> block,
                                      const Cp932String& title) override {
    if (RefuseJobs) return nullptr;
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

}  // namespace tess::test

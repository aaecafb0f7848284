#pragma once
// A printer system for tests: the test declares the printers (names, ports, attributes, papers, sources,
// resolutions, margins, what the driver declares and refuses), and every job is recorded page by page.
//
//   auto system = std::make_unique<TVirtualPrinterSystem>();
//   system->AddPrinter(TVirtualPrinterSystem::StandardPrinter("Laser"));
//   TScopedPrinterSystem scope(std::move(system));   // Printer() is the virtual system until scope ends

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/emf/Metafile.h"
#include "platform/printing/Printers.h"

namespace tess {

struct TVirtualPaper {
  std::int16_t code = 0;
  Cp932String name;
  int width = 0;   // 0.1 mm, portrait
  int height = 0;  // 0.1 mm, portrait
};

struct TVirtualBin {
  std::int16_t code = 0;
  Cp932String name;
};

struct TVirtualPrinter {
  Cp932String name;
  Cp932String port;
  Cp932String server;
  std::uint32_t attributes = PRINTER_ATTRIBUTE_LOCAL;  // add PRINTER_ATTRIBUTE_DEFAULT / _HIDDEN
  Cp932String driver = "Virtual Printer Driver";
  std::uint16_t driverVersion = 1;
  // The fields the driver declares in dmFields of its blocks.
  std::uint32_t fields = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_DEFAULTSOURCE;
  std::vector<TVirtualPaper> papers;
  std::vector<TVirtualBin> bins;
  std::int16_t defaultPaper = DMPAPER_A4;
  std::int16_t defaultBin = DMBIN_AUTO;
  std::int16_t defaultOrientation = DMORIENT_PORTRAIT;
  int dpiX = 600;
  int dpiY = 600;
  // Unprintable strips in dots, as the page is printed (left, top, right, bottom).
  int marginLeft = 0;
  int marginTop = 0;
  int marginRight = 0;
  int marginBottom = 0;
  std::size_t privateSize = 364;
  // Papers the driver's check does not take: a block asking for one gets the default paper back.
  std::set<std::int16_t> refusedPapers;
  bool mergeFails = false;   // the driver's check fails for every block
  bool refusesJobs = false;  // a job's end fails, as when the print service refuses its document
};

// One job as the printer received it.
struct TVirtualJobRecord {
  Cp932String printer;
  Cp932String title;
  std::vector<std::uint8_t> devMode;  // the settings the job was started with
  TDeviceCaps caps;
  // Every page as it was drawn on the job's canvas: a recording in printer dots, origin at the printable
  // area's corner, frame = the printable area. The page being drawn is added when it is finished.
  std::vector<TMetafile> pages;
  int pageCount = 0;  // pages started
  bool ended = false;
  bool aborted = false;

  // Page `index` (0-based) played onto white pixels: the printable area at `dpi` dots per inch (0 = the
  // printer's own resolution). An empty bitmap for a page that does not exist; throws Exception when the
  // page's recording does not play.
  TBitmap24 PageBitmap(std::size_t index, int dpi = 0) const;
};

class TVirtualPrinterSystem : public TPrinterSystem {
 public:
  TVirtualPrinterSystem() = default;
  ~TVirtualPrinterSystem() override;
  // A printer with A4, Letter, A3, A5 and B5 (JIS), the sources "Auto" (7), "Tray 1" (1) and "Manual" (4),
  // 600 dpi and small margins (83 dots left, 74 top, 60 right, 100 bottom).
  static TVirtualPrinter StandardPrinter(const Cp932String& name, const Cp932String& port = "LPT1:");

  // Installs a printer; the printer object reads its list again at its next use.
  void AddPrinter(TVirtualPrinter printer);
  // The printer goes away from the system; the printer object keeps listing it until Refresh.
  void RemovePrinter(const Cp932String& name);
  TVirtualPrinter* FindPrinter(const Cp932String& name);
  void SetEnumerationFails(bool fails) { FEnumerationFails = fails; }

  const std::vector<TVirtualJobRecord>& Jobs() const { return FJobs; }
  int MergeCount() const { return FMergeCount; }

  std::vector<TPrinterRecord> EnumPrinters() override;
  bool MergeDevMode(const Cp932String& device, std::span<std::uint8_t> block) override;
  std::vector<TPaperEntry> Papers(const Cp932String& device) override;
  std::vector<TBinEntry> Bins(const Cp932String& device) override;

 protected:
  std::optional<std::vector<std::uint8_t>> DefaultDevMode(const TPrinterRecord& printer) override;
  Cp932String DriverName(const TPrinterRecord& printer) override;
  TDeviceCaps DriverDeviceCaps(const TPrinterRecord& printer, std::span<const std::uint8_t> block) override;
  std::unique_ptr<TPrintJob> StartJob(const TPrinterRecord& printer, std::span<const std::uint8_t> block,
                                      const Cp932String& title) override;

 private:
  friend class TVirtualPrintJob;
  std::vector<TVirtualPrinter> FPrinters;
  std::vector<TVirtualJobRecord> FJobs;
  bool FEnumerationFails = false;
  int FMergeCount = 0;
};

// Installs a printer system for the scope's lifetime and puts the previous one back afterwards.
class TScopedPrinterSystem {
 public:
  explicit TScopedPrinterSystem(std::unique_ptr<TPrinterSystem> system);
  ~TScopedPrinterSystem();
  TScopedPrinterSystem(const TScopedPrinterSystem&) = delete;
  TScopedPrinterSystem& operator=(const TScopedPrinterSystem&) = delete;

 private:
  std::unique_ptr<TPrinterSystem> FPrevious;
};

}  // namespace tess

#include "platform/printing/VirtualPrinters.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/core/Exceptions.h"
#include "platform/core/Messages.h"

namespace tess {
namespace {

int Dots(int tenthsOfMm, int dpi) {
  return static_cast<int>(std::lround(tenthsOfMm * static_cast<double>(dpi) / 254.0));
}

// The private part of a virtual driver's block: a pattern that depends on the printer's name, so a test
// sees whether private bytes were carried over.
void FillPrivatePart(std::span<std::uint8_t> block, const Cp932String& name) {
  unsigned seed = 0;
  for (char c : name.Bytes()) seed = seed * 31 + static_cast<unsigned char>(c);
  for (std::size_t i = devmode::kPublicSize; i < block.size(); ++i) {
    block[i] = static_cast<std::uint8_t>((seed + i * 7) & 0xFF);
  }
}

}  // namespace

class TVirtualPrintJob : public TPrintJob {
 public:
  TVirtualPrintJob(TVirtualPrinterSystem& system, std::size_t index) : FSystem(system), FIndex(index) {
    OpenPage();
  }
  ~TVirtualPrintJob() override { FCanvas.reset(); }
  TCanvas* Canvas() override { return FCanvas.get(); }
  void NewPage() override {
    ClosePage();
    ++Record().pageCount;
    OpenPage();
  }
  void End() override {
    ClosePage();
    const TVirtualPrinter* printer = FSystem.FindPrinter(Record().printer);
    if (printer != nullptr && printer->refusesJobs) {
      Record().aborted = true;
      throw EPrinterError(MessageCp932("printing.could-not-send", {Record().printer}));
    }
    Record().ended = true;
  }
  void Abort() override {
    FCanvas.reset();
    Record().aborted = true;
  }

 private:
  TVirtualJobRecord& Record() { return FSystem.FJobs[FIndex]; }
  void OpenPage() {
    const TDeviceCaps& caps = Record().caps;
    FPage = std::make_unique<TMetafile>();
    if (caps.logPixelsX > 0 && caps.logPixelsY > 0) {
      FPage->SetMMWidth(static_cast<int>(std::lround(caps.horzRes * 2540.0 / caps.logPixelsX)));
      FPage->SetMMHeight(static_cast<int>(std::lround(caps.vertRes * 2540.0 / caps.logPixelsY)));
    }
    FCanvas = std::make_unique<TMetafileCanvas>(*FPage, DescribePrinter(caps));
    FCanvas->Font().SetPixelsPerInch(caps.logPixelsY > 0 ? caps.logPixelsY : 96);
  }
  void ClosePage() {
    if (!FCanvas) return;
    FCanvas->Close();
    FCanvas.reset();
    Record().pages.push_back(*FPage);
    FPage.reset();
  }

  TVirtualPrinterSystem& FSystem;
  std::size_t FIndex;
  std::unique_ptr<TMetafile> FPage;
  std::unique_ptr<TMetafileCanvas> FCanvas;
};

TBitmap24 TVirtualJobRecord::PageBitmap(std::size_t index, int dpi) const {
  if (index >= pages.size() || caps.logPixelsX <= 0 || caps.logPixelsY <= 0) return TBitmap24();
  const double sx = dpi > 0 ? static_cast<double>(dpi) / caps.logPixelsX : 1.0;
  const double sy = dpi > 0 ? static_cast<double>(dpi) / caps.logPixelsY : 1.0;
  const int width = static_cast<int>(std::lround(caps.horzRes * sx));
  const int height = static_cast<int>(std::lround(caps.vertRes * sy));
  TBitmap24 bitmap(width, height);
  if (bitmap.Empty()) return bitmap;
  TCanvas& canvas = bitmap.Canvas(dpi > 0 ? dpi : caps.logPixelsX, dpi > 0 ? dpi : caps.logPixelsY);
  TResult played = canvas.StretchDraw(TRect{0, 0, width, height}, pages[index]);
  bitmap.ReleaseCanvas();
  // A page the player refuses would otherwise come back blank or half drawn and pass for what was printed.
  if (!played) {
    throw Exception(
        Cp932String::FromUtf8("Page " + std::to_string(index + 1) + " does not play: " + played.Message()));
  }
  return bitmap;
}

TVirtualPrinter TVirtualPrinterSystem::StandardPrinter(const Cp932String& name, const Cp932String& port) {
  TVirtualPrinter p;
  p.name = name;
  p.port = port;
  p.papers = {{DMPAPER_A4, "A4", 2100, 2970},
              {DMPAPER_LETTER, "Letter", 2159, 2794},
              {DMPAPER_A3, "A3", 2970, 4200},
              {DMPAPER_A5, "A5", 1480, 2100},
              {DMPAPER_B5, "B5 (JIS)", 1820, 2570}};
  p.bins = {{DMBIN_AUTO, "Auto"}, {DMBIN_UPPER, "Tray 1"}, {DMBIN_MANUAL, "Manual"}};
  p.marginLeft = 83;
  p.marginTop = 74;
  p.marginRight = 60;
  p.marginBottom = 100;
  return p;
}

TVirtualPrinterSystem::~TVirtualPrinterSystem() {
  AbandonJob();
}

void TVirtualPrinterSystem::AddPrinter(TVirtualPrinter printer) {
  FPrinters.push_back(std::move(printer));
  ListChanged();
}

void TVirtualPrinterSystem::RemovePrinter(const Cp932String& name) {
  FPrinters.erase(std::remove_if(FPrinters.begin(), FPrinters.end(),
                                 [&](const TVirtualPrinter& p) { return p.name == name; }),
                  FPrinters.end());
}

TVirtualPrinter* TVirtualPrinterSystem::FindPrinter(const Cp932String& name) {
  for (TVirtualPrinter& p : FPrinters) {
    if (p.name == name) return &p;
  }
  return nullptr;
}

std::vector<TPrinterRecord> TVirtualPrinterSystem::EnumPrinters() {
  if (FEnumerationFails && !FPrinters.empty()) throw EPrinterError(MessageCp932("printing.list-unreadable"));
  std::vector<TPrinterRecord> records;
  for (const TVirtualPrinter& p : FPrinters) records.push_back({p.name, p.server, p.port, p.attributes});
  return records;
}

std::optional<std::vector<std::uint8_t>> TVirtualPrinterSystem::DefaultDevMode(
    const TPrinterRecord& printer) {
  const TVirtualPrinter* p = FindPrinter(printer.name);
  if (p == nullptr) return std::nullopt;
  std::vector<std::uint8_t> block = NewDevModeBlock(p->name, p->driverVersion, p->privateSize);
  WriteBlockU32(block, devmode::dmFields, p->fields);
  WriteBlockI16(block, devmode::dmOrientation, p->defaultOrientation);
  WriteBlockI16(block, devmode::dmPaperSize, p->defaultPaper);
  WriteBlockI16(block, devmode::dmDefaultSource, p->defaultBin);
  WriteBlockI16(block, devmode::dmCopies, 1);
  WriteBlockI16(block, devmode::dmPrintQuality, static_cast<std::int16_t>(p->dpiX));
  WriteBlockI16(block, devmode::dmYResolution, static_cast<std::int16_t>(p->dpiY));
  FillPrivatePart(block, p->name);
  return block;
}

Cp932String TVirtualPrinterSystem::DriverName(const TPrinterRecord& printer) {
  const TVirtualPrinter* p = FindPrinter(printer.name);
  return p ? p->driver : Cp932String();
}

bool TVirtualPrinterSystem::MergeDevMode(const Cp932String& device, std::span<std::uint8_t> block) {
  ++FMergeCount;
  const TVirtualPrinter* p = FindPrinter(device);
  if (p == nullptr || p->mergeFails) return false;
  if (block.size() != devmode::kPublicSize + p->privateSize) return false;
  // The driver keeps what it knows and puts its defaults where the block asks for what it does not have.
  WriteBlockU32(block, devmode::dmFields, p->fields);
  std::int16_t orientation = ReadBlockI16(block, devmode::dmOrientation).value_or(0);
  if ((p->fields & DM_ORIENTATION) && orientation != DMORIENT_PORTRAIT && orientation != DMORIENT_LANDSCAPE) {
    WriteBlockI16(block, devmode::dmOrientation, p->defaultOrientation);
  }
  std::int16_t paper = ReadBlockI16(block, devmode::dmPaperSize).value_or(0);
  bool known = std::any_of(p->papers.begin(), p->papers.end(),
                           [&](const TVirtualPaper& v) { return v.code == paper; });
  if ((p->fields & DM_PAPERSIZE) && (!known || p->refusedPapers.count(paper))) {
    WriteBlockI16(block, devmode::dmPaperSize, p->defaultPaper);
  }
  std::int16_t bin = ReadBlockI16(block, devmode::dmDefaultSource).value_or(0);
  bool knownBin =
      std::any_of(p->bins.begin(), p->bins.end(), [&](const TVirtualBin& b) { return b.code == bin; });
  if ((p->fields & DM_DEFAULTSOURCE) && !knownBin)
    WriteBlockI16(block, devmode::dmDefaultSource, p->defaultBin);
  return true;
}

std::vector<TPaperEntry> TVirtualPrinterSystem::Papers(const Cp932String& device) {
  std::vector<TPaperEntry> result;
  const TVirtualPrinter* p = FindPrinter(device);
  if (p == nullptr) return result;
  for (const TVirtualPaper& v : p->papers) result.push_back({v.code, CutToBytes(v.name, kPaperNameSize)});
  return result;
}

std::vector<TBinEntry> TVirtualPrinterSystem::Bins(const Cp932String& device) {
  std::vector<TBinEntry> result;
  const TVirtualPrinter* p = FindPrinter(device);
  if (p == nullptr) return result;
  for (const TVirtualBin& b : p->bins) result.push_back({b.code, CutToBytes(b.name, kBinNameSize)});
  return result;
}

TDeviceCaps TVirtualPrinterSystem::DriverDeviceCaps(const TPrinterRecord& printer,
                                                    std::span<const std::uint8_t> block) {
  const TVirtualPrinter* p = FindPrinter(printer.name);
  if (p == nullptr) return {};
  std::int16_t code = ReadBlockI16(block, devmode::dmPaperSize).value_or(p->defaultPaper);
  const TVirtualPaper* paper = nullptr;
  for (const TVirtualPaper& v : p->papers) {
    if (v.code == code) paper = &v;
  }
  if (paper == nullptr) {
    for (const TVirtualPaper& v : p->papers) {
      if (v.code == p->defaultPaper) paper = &v;
    }
  }
  if (paper == nullptr) return {};
  int width = paper->width;
  int height = paper->height;
  if (ReadBlockI16(block, devmode::dmOrientation).value_or(DMORIENT_PORTRAIT) == DMORIENT_LANDSCAPE) {
    std::swap(width, height);
  }
  TDeviceCaps caps;
  caps.logPixelsX = p->dpiX;
  caps.logPixelsY = p->dpiY;
  caps.physicalWidth = Dots(width, p->dpiX);
  caps.physicalHeight = Dots(height, p->dpiY);
  caps.physicalOffsetX = p->marginLeft;
  caps.physicalOffsetY = p->marginTop;
  caps.horzRes = std::max(0, caps.physicalWidth - p->marginLeft - p->marginRight);
  caps.vertRes = std::max(0, caps.physicalHeight - p->marginTop - p->marginBottom);
  return caps;
}

std::unique_ptr<TPrintJob> TVirtualPrinterSystem::StartJob(const TPrinterRecord& printer,
                                                           std::span<const std::uint8_t> block,
                                                           const Cp932String& title) {
  if (FindPrinter(printer.name) == nullptr) return nullptr;
  TVirtualJobRecord record;
  record.printer = printer.name;
  record.title = title;
  record.devMode.assign(block.begin(), block.end());
  record.caps = DriverDeviceCaps(printer, block);
  record.pageCount = 1;
  FJobs.push_back(std::move(record));
  return std::make_unique<TVirtualPrintJob>(*this, FJobs.size() - 1);
}

TScopedPrinterSystem::TScopedPrinterSystem(std::unique_ptr<TPrinterSystem> system)
    : FPrevious(SetPrinterSystem(std::move(system))) {}

TScopedPrinterSystem::~TScopedPrinterSystem() {
  SetPrinterSystem(std::move(FPrevious));
}

}  // namespace tess

#include "printer_settings/PrinterSettings.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <span>

#include "platform/core/Exceptions.h"
#include "platform/core/HexDigits.h"
#include "platform/core/Messages.h"
#include "platform/ui/PrintDialogs.h"

namespace tess {
namespace {

// The printer enumeration shared by every instance: the printer object's list, so that an index means the
// same printer in both.
const std::vector<TPrinterRecord>& SharedPrinterList() {
  return Printer().PrinterRecords();
}

// Upper case as the system locale makes it for code page 932 text: the single-byte letters and the
// full-width Latin letters (82 81..82 9A become 82 60..82 79); other characters and trail bytes stay.
std::string UpperCase(const Cp932String& text) {
  std::string out = text.Bytes();
  std::size_t i = 0;
  while (i < out.size()) {
    std::size_t next = NextCharOffset(text, i);
    auto b = static_cast<std::uint8_t>(out[i]);
    if (next == i + 1) {
      if (b >= 'a' && b <= 'z') out[i] = static_cast<char>(b - 'a' + 'A');
    } else if (b == 0x82) {
      auto t = static_cast<std::uint8_t>(out[i + 1]);
      if (t >= 0x81 && t <= 0x9A) out[i + 1] = static_cast<char>(t - 0x81 + 0x60);
    }
    i = next;
  }
  return out;
}

// The index of the first visible printer whose upper-cased name occurs in the upper-cased text.
int MatchIndex(const Cp932String& text) {
  if (text.IsEmpty()) return -1;
  const std::string haystack = UpperCase(text);
  const auto& records = SharedPrinterList();
  for (std::size_t i = 0; i < records.size(); ++i) {
    const TPrinterRecord& r = records[i];
    if (r.attributes & PRINTER_ATTRIBUTE_HIDDEN) continue;
    if (r.name.IsEmpty()) continue;
    if (haystack.find(UpperCase(r.name)) != std::string::npos) return static_cast<int>(i);
  }
  return -1;
}

// The index of the first visible printer named exactly `name`, letter case aside.
int ExactIndex(const Cp932String& name) {
  if (name.IsEmpty()) return -1;
  const std::string wanted = UpperCase(name);
  const auto& records = SharedPrinterList();
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (!(records[i].attributes & PRINTER_ATTRIBUTE_HIDDEN) && UpperCase(records[i].name) == wanted) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

constexpr std::size_t kDialogTextSize = 128;
constexpr int kMaxCopies = 999;

}  // namespace

// LockSettings: the printer object's current block, locked, with the component's copy put over it when the
// sizes agree. Unlocked when it goes, also when the caller fails.
class TplSetPrinter::Settings {
 public:
  explicit Settings(TplSetPrinter& owner) {
    owner.ReselectIfMoved();
    FDevice = Printer().GetPrinter();
    FBlock = Printer().LockDevMode(FDevice.devMode);
    if (!FBlock.empty() && owner.DevDataFits(FBlock.size())) {
      std::memcpy(FBlock.data(), owner.FDevData.data(), FBlock.size());
    }
  }
  ~Settings() {
    if (!FBlock.empty()) Printer().UnlockDevMode(FDevice.devMode);
  }
  Settings(const Settings&) = delete;
  Settings& operator=(const Settings&) = delete;

  std::span<std::uint8_t> Block() const { return FBlock; }
  const TCurrentDevice& Device() const { return FDevice; }

 private:
  TCurrentDevice FDevice;
  std::span<std::uint8_t> FBlock;
};

TplSetPrinter::TplSetPrinter(TComponent* owner) : TComponent(owner) {
  // The list is read by the first component made and shared by the later ones (a form makes several at
  // once, and each read asks the print service again). A first read that fails raises out of creation.
  FPrinterCount = Printer().ListRead() ? static_cast<int>(SharedPrinterList().size()) : CountPrinters();
}

TplSetPrinter::~TplSetPrinter() = default;

// ---------------------------------------------------------------------------------------------------
// Printers

int TplSetPrinter::CountPrinters() {
  Printer().Refresh();
  return static_cast<int>(SharedPrinterList().size());
}

int TplSetPrinter::PrinterIndexOf(const Cp932String& name) {
  const int exact = ExactIndex(name);
  return exact >= 0 ? exact : FindPrinterIndex(name);
}

Cp932String TplSetPrinter::MatchPrinterName(const Cp932String& text) {
  int i = MatchIndex(text);
  return i < 0 ? Cp932String() : SharedPrinterList()[static_cast<std::size_t>(i)].name;
}

int TplSetPrinter::FindPrinterIndex(const Cp932String& text) {
  return MatchIndex(text);
}

Cp932String TplSetPrinter::PrinterName() const {
  if (FPrinterCount == 0) return {};
  // A printer chosen by its exact name stays that printer, even when an earlier printer's name occurs in it.
  const int exact = ExactIndex(FPrinterName);
  if (exact >= 0) return SharedPrinterList()[static_cast<std::size_t>(exact)].name;
  return MatchPrinterName(FPrinterName);
}

void TplSetPrinter::SetPrinterName(const Cp932String& value) {
  // A name that names a printer of the list as read keeps that list (and what the printer system knows of
  // each printer): every document's settings are set by name, and re-reading the list each time would ask
  // the print service everything again. Any other name has the list read again, as the printer may be new.
  // A printer removed meanwhile is seen at the next re-read, at the latest before a job. A design being
  // read takes the list as it is: it was read when the form began.
  int exact = ExactIndex(value);
  if (exact < 0 && MatchIndex(value) < 0 && !HasState(csReading) && !HasState(csLoading)) {
    FPrinterCount = CountPrinters();
    exact = ExactIndex(value);
  } else {
    FPrinterCount = static_cast<int>(SharedPrinterList().size());
  }
  if (FPrinterCount == 0) return;
  const Cp932String previous = FPrinterName;
  Cp932String name =
      exact >= 0 ? SharedPrinterList()[static_cast<std::size_t>(exact)].name : MatchPrinterName(value);
  if (name.IsEmpty()) {
    TPrinterSystem& printer = Printer();
    printer.SetPrinterIndex(-1);
    int index = printer.PrinterIndex();
    const auto& entries = printer.Printers();
    if (index >= 0 && index < static_cast<int>(entries.size())) {
      name = MatchPrinterName(entries[static_cast<std::size_t>(index)]);
    }
  }
  FPrinterName = name;
  if (HasState(csReading) || HasState(csLoading)) return;
  SelectPrinter(name);
  TakeSnapshot();
  if (!HasState(csDesigning) && OnPrinterChange && name != previous) OnPrinterChange(this);
}

void TplSetPrinter::SelectPrinter(const Cp932String& name) {
  TPrinterSystem& printer = Printer();
  FSelectedName = name;
  int index = PrinterIndexOf(name);
  if (index < 0 && !name.IsEmpty()) {
    // Perhaps installed since the list was read.
    FPrinterCount = CountPrinters();
    index = PrinterIndexOf(name);
  }
  // A name that matches no printer selects the default printer.
  printer.SetPrinterIndex(index);
  TCurrentDevice device = printer.GetPrinter();
  FDevice = device.device;
  FDriver = device.driver;
  FPort = device.port;
  // Without a block the printer object starts again from the driver's defaults.
  if (!device.device.IsEmpty()) printer.SetPrinter(device.device, device.driver, device.port, 0);
}

void TplSetPrinter::SelectStoredPrinter() {
  SelectPrinter(PrinterName());
  RestoreDevMode();
}

void TplSetPrinter::RequirePrinter() {
  FPrinterCount = CountPrinters();
  const int index = ExactIndex(FPrinterName);
  if (index < 0) {
    // A print service that does not answer lists no printers: what the user hears of is the service.
    if (!Printer().ServiceProblem().IsEmpty()) throw EPrinterError(Printer().ServiceProblem());
    if (FPrinterName.IsEmpty()) throw EPrinterError(MessageCp932("printing.none-installed"));
    throw EPrinterError(MessageCp932("printing.no-longer-installed", {FPrinterName}));
  }
  if (Printer().PrinterIndex() != index) {
    SelectPrinter(FPrinterName);
    RestoreDevMode();
  }
}

int TplSetPrinter::PrinterIndex() const {
  return PrinterIndexOf(FSelectedName);
}

void TplSetPrinter::ReselectIfMoved() {
  if (Printer().PrinterIndex() != PrinterIndex()) SelectPrinter(PrinterName());
}

bool TplSetPrinter::DevDataFits(std::size_t blockSize) const {
  // Only a copy whose every byte was stored and read back, and whose size is the block's, goes over it.
  return FDevDataSize > 0 && static_cast<std::size_t>(FDevDataSize) == blockSize &&
         FDevData.size() == blockSize;
}

bool TplSetPrinter::MergeSettings(const Cp932String& device, std::span<std::uint8_t> block) {
  return Printer().MergeDevMode(device, block);
}

void TplSetPrinter::ApplySettings(TDevModeHandle handle, const TCurrentDevice& device) {
  if (!device.device.IsEmpty()) Printer().SetPrinter(device.device, device.driver, device.port, handle);
  TakeSnapshot();
}

void TplSetPrinter::TakeSnapshot() {
  if (FPrinterCount == 0) return;
  TPrinterSystem& printer = Printer();
  TCurrentDevice device = printer.GetPrinter();
  FDevice = device.device;
  FDriver = device.driver;
  FPort = device.port;
  FDevData.clear();
  FDevDataSize = 0;
  std::span<std::uint8_t> block = printer.LockDevMode(device.devMode);
  if (!block.empty()) {
    FDevData.assign(block.begin(), block.end());
    FDevDataSize = static_cast<int>(block.size());
    printer.UnlockDevMode(device.devMode);
  }
  if (HasState(csDesigning)) {
    FDesignLandscape = Landscape() ? 1 : 0;
    FDesignPrinterName = FPrinterName;
    FDesignPaperName = PaperName();
    FDesignPaperSize = PaperSize();
    FDesignPaperBin = PaperBin();
    FDesignDriverVersion = DriverVersion();
  }
}

bool TplSetPrinter::RestoreDevMode() {
  if (FPrinterCount == 0) return true;
  TPrinterSystem& printer = Printer();
  TCurrentDevice device = printer.GetPrinter();
  std::span<std::uint8_t> block = printer.LockDevMode(device.devMode);
  if (block.empty()) return false;
  bool result = true;
  if (DevDataFits(block.size())) std::memcpy(block.data(), FDevData.data(), block.size());
  try {
    if (!MergeSettings(device.device, block)) result = false;
  } catch (const std::exception&) {
    result = false;
  }
  printer.UnlockDevMode(device.devMode);
  printer.SetPrinter(device.device, device.driver, device.port, device.devMode);
  return result;
}

void TplSetPrinter::UpdateFromPrinter(bool follow) {
  if (FPrinterCount == 0) return;
  TPrinterSystem& printer = Printer();
  const int current = printer.PrinterIndex();
  // The printer now current, by its own name: the very printer chosen, not one whose name occurs in it.
  auto entryName = [&] {
    const auto& entries = printer.Printers();
    if (current < 0 || current >= static_cast<int>(entries.size())) return Cp932String();
    const TPrinterRecord& record = SharedPrinterList()[static_cast<std::size_t>(current)];
    if (!(record.attributes & PRINTER_ATTRIBUTE_HIDDEN)) return record.name;
    return MatchPrinterName(entries[static_cast<std::size_t>(current)]);
  };
  if (follow) {
    FPrinterName = entryName();
    SelectPrinter(FPrinterName);
  } else {
    TakeSnapshot();
    if (current != PrinterIndex()) {
      FPrinterName = entryName();
      SelectPrinter(FPrinterName);
    }
    RestoreDevMode();
  }
  TakeSnapshot();
}

// ---------------------------------------------------------------------------------------------------
// Single settings

std::int16_t TplSetPrinter::ReadField(std::size_t offset, std::int16_t fallback) {
  if (FPrinterCount == 0) return fallback;
  Settings settings(*this);
  return ReadBlockI16(settings.Block(), offset).value_or(fallback);
}

void TplSetPrinter::WriteField(std::uint32_t flag, std::size_t offset, std::int16_t value) {
  if (FPrinterCount == 0) return;
  TCurrentDevice device;
  {
    Settings settings(*this);
    device = settings.Device();
    std::span<std::uint8_t> block = settings.Block();
    std::uint32_t fields = ReadBlockU32(block, devmode::dmFields).value_or(0);
    if (fields & flag) {
      const std::vector<std::uint8_t> before(block.begin(), block.end());
      WriteBlockI16(block, offset, value);
      if (flag == DM_PAPERSIZE) {
        // The code alone decides the paper's size.
        WriteBlockU32(block, devmode::dmFields, fields & ~(DM_PAPERLENGTH | DM_PAPERWIDTH));
      }
      bool merged = false;
      try {
        merged = MergeSettings(device.device, block);
      } catch (const std::exception&) {
        merged = false;
      }
      // A driver that cannot check the change (the printer went away, say) leaves the settings as they were.
      if (!merged) std::copy(before.begin(), before.end(), block.begin());
    }
  }
  ApplySettings(device.devMode, device);
}

int TplSetPrinter::PaperSize() {
  return ReadField(devmode::dmPaperSize, 0);
}

void TplSetPrinter::SetPaperSize(int code) {
  WriteField(DM_PAPERSIZE, devmode::dmPaperSize, static_cast<std::int16_t>(code));
}

bool TplSetPrinter::SetPaperSizeChecked(std::int16_t code) {
  SetPaperSize(code);
  return PaperSize() == code;
}

bool TplSetPrinter::Landscape() {
  if (FPrinterCount == 0) return false;
  return ReadField(devmode::dmOrientation, DMORIENT_PORTRAIT) != DMORIENT_PORTRAIT;
}

void TplSetPrinter::SetLandscape(bool landscape) {
  WriteField(DM_ORIENTATION, devmode::dmOrientation, landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT);
}

int TplSetPrinter::PaperBin() {
  return ReadField(devmode::dmDefaultSource, 0);
}

void TplSetPrinter::SetPaperBin(int code) {
  WriteField(DM_DEFAULTSOURCE, devmode::dmDefaultSource, static_cast<std::int16_t>(code));
}

int TplSetPrinter::Copies() {
  return ReadField(devmode::dmCopies, 0);
}

void TplSetPrinter::SetCopies(int copies) {
  WriteField(DM_COPIES, devmode::dmCopies, static_cast<std::int16_t>(std::clamp(copies, 1, kMaxCopies)));
}

Cp932String TplSetPrinter::PaperName() {
  if (FPrinterCount == 0) return {};
  const int code = PaperSize();
  if (code < 0) return {};
  for (const TPaperEntry& paper : Printer().Papers(Printer().GetPrinter().device)) {
    if (paper.code == code) return CutToBytes(paper.name, kPaperNameSize);
  }
  return {};
}

void TplSetPrinter::SetPaperName(const Cp932String& name) {
  if (FPrinterCount == 0) return;
  ReselectIfMoved();
  for (const TPaperEntry& paper : Printer().Papers(Printer().GetPrinter().device)) {
    if (paper.name == name) {
      SetPaperSize(paper.code);
      return;
    }
  }
}

Cp932String TplSetPrinter::PaperBinName() {
  if (FPrinterCount == 0) return {};
  const int code = PaperBin();
  if (code < 0) return {};
  for (const TBinEntry& bin : Printer().Bins(Printer().GetPrinter().device)) {
    if (bin.code == code) return CutToBytes(bin.name, kBinNameSize);
  }
  return {};
}

void TplSetPrinter::SetPaperBinName(const Cp932String& name) {
  if (FPrinterCount == 0) return;
  ReselectIfMoved();
  for (const TBinEntry& bin : Printer().Bins(Printer().GetPrinter().device)) {
    if (bin.name == name) {
      SetPaperBin(bin.code);
      return;
    }
  }
}

int TplSetPrinter::DriverVersion() {
  if (FPrinterCount == 0) return 0;
  TPrinterSystem& printer = Printer();
  TCurrentDevice device = printer.GetPrinter();
  std::span<std::uint8_t> block = printer.LockDevMode(device.devMode);
  if (block.empty()) return 0;
  int version = ReadBlockU16(block, devmode::dmDriverVersion).value_or(0);
  printer.UnlockDevMode(device.devMode);
  return version;
}

int TplSetPrinter::DeviceCaps(TplDeviceCapsKind kind) {
  if (FPrinterCount == 0) return 0;
  const TDeviceCaps caps = Printer().DeviceCaps();
  switch (kind) {
    case dcPixelsPerInchX:
      return caps.logPixelsX;
    case dcPixelsPerInchY:
      return caps.logPixelsY;
    case dcPaperWidth:
      return caps.physicalWidth;
    case dcPaperHeight:
      return caps.physicalHeight;
    case dcPrintableWidth:
      return caps.horzRes;
    case dcPrintableHeight:
      return caps.vertRes;
    case dcOffsetTop:
      return caps.physicalOffsetY;
    case dcOffsetBottom:
      return caps.physicalOffsetY + caps.vertRes;
    case dcOffsetLeft:
      return caps.physicalOffsetX;
    case dcOffsetRight:
      return caps.physicalOffsetX + caps.horzRes;
  }
  return 0;  // a kind outside the table
}

// ---------------------------------------------------------------------------------------------------
// Setup dialog

void TplSetPrinter::SetupDialogClose(TPrinterSetupDialog& dialog) {
  FDialogPaperName = CutToBytes(dialog.PaperText(), kDialogTextSize);
  FDialogBinName = CutToBytes(dialog.SourceText(), kDialogTextSize);
  FDialogLandscape = !dialog.PortraitChecked();
  if (OnSetupDialogClose) OnSetupDialogClose(&dialog);
}

bool TplSetPrinter::ExecuteSetupDialog() {
  if (FPrinterCount == 0) return false;
  // Owned by this component; freed on every way out.
  std::unique_ptr<TPrinterSetupDialog> dialog(new TPrinterSetupDialog(this));
  TPrinterSetupDialog* raw = dialog.get();
  dialog->OnShow = [this](TComponent* sender) {
    if (OnSetupDialogShow) OnSetupDialogShow(sender);
  };
  dialog->OnClose = [this, raw](TComponent*) { SetupDialogClose(*raw); };

  if (Printer().PrinterIndex() != PrinterIndex()) SelectPrinter(PrinterName());
  RestoreDevMode();
  if (!dialog->Execute()) return false;

  UpdateFromPrinter(false);
  const bool paperDiffers = PaperName() != FDialogPaperName;
  const bool binDiffers = PaperBinName() != FDialogBinName;
  const bool orientationDiffers = Landscape() != FDialogLandscape;
  if (paperDiffers || binDiffers || orientationDiffers) {
    // The driver did not take over everything the dialog showed: put it on by name.
    SelectPrinter(PrinterName());
    if (paperDiffers) SetPaperName(FDialogPaperName);
    if (binDiffers) SetPaperBinName(FDialogBinName);
    if (orientationDiffers) SetLandscape(FDialogLandscape);
  }
  return true;
}

// ---------------------------------------------------------------------------------------------------
// Stored form

void TplSetPrinter::DefineProperties(TFiler& filer) {
  filer.String(
      "PrinterName", [this] { return PrinterName(); }, [this](const Cp932String& v) { SetPrinterName(v); },
      !PrinterName().IsEmpty());
  filer.Integer(
      "DevDataSize", [this] { return FDevDataSize; }, [this](int v) { FDevDataSize = v; });
  filer.DefineProperty(
      "ADevData", [this](TReader& r) { ReadDevData(r); }, [this](TWriter& w) { WriteDevData(w); });
  filer.DefineProperty(
      "DesignValue", [this](TReader& r) { ReadDesignValue(r); }, [this](TWriter& w) { WriteDesignValue(w); });
}

void TplSetPrinter::ReadDevData(TReader& reader) {
  FDevData.clear();
  Cp932String text;
  try {
    text = reader.ReadString();
  } catch (const EReadError&) {
    return;
  }
  // The first pair that is not hexadecimal ends the data; an odd last digit is left over.
  AppendBytesFromHex(text.Bytes(), FDevData);
}

void TplSetPrinter::WriteDevData(TWriter& writer) const {
  // Never more than the bytes there are, whatever DevDataSize says.
  std::size_t count =
      FDevDataSize > 0 ? std::min(FDevData.size(), static_cast<std::size_t>(FDevDataSize)) : 0;
  writer.WriteString(Cp932String::FromBytes(HexFromBytes(std::span(FDevData.data(), count))));
}

void TplSetPrinter::ReadDesignValue(TReader& reader) {
  try {
    reader.ReadListBegin();
    FDesignPrinterName = reader.ReadString();
    int landscape = reader.ReadInteger();
    FDesignPaperName = reader.ReadString();
    FDesignPaperSize = reader.ReadInteger();
    FDesignPaperBin = reader.ReadInteger();
    FDesignDriverVersion = reader.ReadInteger();
    reader.ReadListEnd();
    FDesignLandscape = landscape & 0xFF;
  } catch (const EReadError&) {
    // the fields read so far keep their new values
  }
}

void TplSetPrinter::WriteDesignValue(TWriter& writer) const {
  try {
    writer.WriteListBegin();
    writer.WriteString(FDesignPrinterName);
    writer.WriteInteger(FDesignLandscape != 0 ? 1 : 0);
    writer.WriteString(FDesignPaperName);
    writer.WriteInteger(FDesignPaperSize);
    writer.WriteInteger(FDesignPaperBin);
    writer.WriteInteger(FDesignDriverVersion);
    writer.WriteListEnd();
  } catch (const std::exception&) {
  }
}

void TplSetPrinter::Loaded() {
  TComponent::Loaded();
  if (FPrinterCount == 0) return;
  SelectPrinter(PrinterName());
  RestoreDevMode();
  TakeSnapshot();
}

}  // namespace tess

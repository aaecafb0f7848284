#include "platform/printing/Printers.h"

#include <locale.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <system_error>
#include <thread>

#include "platform/core/Interruption.h"
#include "platform/core/Messages.h"
#include "platform/core/ScopeGuard.h"

namespace tess {

// ---------------------------------------------------------------------------------------------------
// Block fields

namespace {

bool Fits(std::size_t blockSize, std::size_t offset, std::size_t size) {
  return offset <= blockSize && size <= blockSize - offset;
}

}  // namespace

std::optional<std::uint16_t> ReadBlockU16(std::span<const std::uint8_t> block, std::size_t offset) {
  if (!Fits(block.size(), offset, 2)) return std::nullopt;
  return static_cast<std::uint16_t>(block[offset] | (block[offset + 1] << 8));
}

std::optional<std::int16_t> ReadBlockI16(std::span<const std::uint8_t> block, std::size_t offset) {
  auto v = ReadBlockU16(block, offset);
  if (!v) return std::nullopt;
  return static_cast<std::int16_t>(*v);
}

std::optional<std::uint32_t> ReadBlockU32(std::span<const std::uint8_t> block, std::size_t offset) {
  if (!Fits(block.size(), offset, 4)) return std::nullopt;
  return static_cast<std::uint32_t>(block[offset]) | (static_cast<std::uint32_t>(block[offset + 1]) << 8) |
         (static_cast<std::uint32_t>(block[offset + 2]) << 16) |
         (static_cast<std::uint32_t>(block[offset + 3]) << 24);
}

bool WriteBlockU16(std::span<std::uint8_t> block, std::size_t offset, std::uint16_t value) {
  if (!Fits(block.size(), offset, 2)) return false;
  block[offset] = static_cast<std::uint8_t>(value & 0xFF);
  block[offset + 1] = static_cast<std::uint8_t>(value >> 8);
  return true;
}

bool WriteBlockI16(std::span<std::uint8_t> block, std::size_t offset, std::int16_t value) {
  return WriteBlockU16(block, offset, static_cast<std::uint16_t>(value));
}

bool WriteBlockU32(std::span<std::uint8_t> block, std::size_t offset, std::uint32_t value) {
  if (!Fits(block.size(), offset, 4)) return false;
  for (int i = 0; i < 4; ++i)
    block[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
  return true;
}

Cp932String ReadBlockText(std::span<const std::uint8_t> block, std::size_t offset, std::size_t size) {
  if (!Fits(block.size(), offset, size)) return {};
  std::size_t n = 0;
  while (n < size && block[offset + n] != 0) ++n;
  return Cp932String::FromBytes(std::string_view(reinterpret_cast<const char*>(block.data() + offset), n));
}

bool WriteBlockText(std::span<std::uint8_t> block, std::size_t offset, std::size_t size,
                    const Cp932String& text) {
  if (size == 0 || !Fits(block.size(), offset, size)) return false;
  Cp932String cut = CutToBytes(text, size - 1);  // room for the terminating NUL
  std::fill(block.begin() + static_cast<std::ptrdiff_t>(offset),
            block.begin() + static_cast<std::ptrdiff_t>(offset + size), std::uint8_t{0});
  std::memcpy(block.data() + offset, cut.Bytes().data(), cut.Length());
  return true;
}

std::vector<std::uint8_t> NewDevModeBlock(const Cp932String& deviceName, std::uint16_t driverVersion,
                                          std::size_t privateSize) {
  privateSize = std::min<std::size_t>(privateSize, 0xFFFF);
  std::vector<std::uint8_t> block(devmode::kPublicSize + privateSize, 0);
  WriteBlockText(block, devmode::dmDeviceName, devmode::kDeviceNameSize, deviceName);
  WriteBlockU16(block, devmode::dmSpecVersion, devmode::DM_SPECVERSION);
  WriteBlockU16(block, devmode::dmDriverVersion, driverVersion);
  WriteBlockU16(block, devmode::dmSize, static_cast<std::uint16_t>(devmode::kPublicSize));
  WriteBlockU16(block, devmode::dmDriverExtra, static_cast<std::uint16_t>(privateSize));
  return block;
}

Cp932String CutToBytes(const Cp932String& text, std::size_t maxBytes) {
  if (text.Length() <= maxBytes) return text;
  std::size_t end = 0;
  while (end < text.Length()) {
    std::size_t next = NextCharOffset(text, end);
    if (next > maxBytes) break;
    end = next;
  }
  return Cp932String::FromBytes(std::string_view(text.Bytes()).substr(0, end));
}

// ---------------------------------------------------------------------------------------------------
// Standard papers

namespace {

constexpr std::array<TStandardPaper, 40> kStandardPapers = {{
    {1, "Letter", 2159, 2794},
    {3, "Tabloid", 2794, 4318},
    {4, "Ledger", 4318, 2794},
    {5, "Legal", 2159, 3556},
    {6, "Statement", 1397, 2159},
    {7, "Executive", 1842, 2667},
    {8, "A3", 2970, 4200},
    {9, "A4", 2100, 2970},
    {11, "A5", 1480, 2100},
    {12, "B4 (JIS)", 2570, 3640},
    {13, "B5 (JIS)", 1820, 2570},
    {14, "Folio", 2159, 3302},
    {15, "Quarto", 2150, 2750},
    {16, "10x14", 2540, 3556},
    {19, "Envelope #9", 984, 2254},
    {20, "Envelope #10", 1048, 2413},
    {21, "Envelope #11", 1143, 2635},
    {22, "Envelope #12", 1207, 2794},
    {23, "Envelope #14", 1270, 2921},
    {24, "C size sheet", 4318, 5588},
    {25, "D size sheet", 5588, 8636},
    {26, "E size sheet", 8636, 11176},
    {27, "Envelope DL", 1100, 2200},
    {28, "Envelope C5", 1620, 2290},
    {29, "Envelope C3", 3240, 4580},
    {30, "Envelope C4", 2290, 3240},
    {31, "Envelope C6", 1140, 1620},
    {32, "Envelope C65", 1140, 2290},
    {33, "Envelope B4", 2500, 3530},
    {34, "Envelope B5", 1760, 2500},
    {35, "Envelope B6", 1760, 1250},
    {36, "Envelope Italy", 1100, 2300},
    {37, "Envelope Monarch", 984, 1905},
    {42, "B4 (ISO)", 2500, 3530},
    {43, "Japanese Postcard", 1000, 1480},
    {66, "A2", 4200, 5940},
    {69, "Double Japan Postcard", 2000, 1480},
    {70, "A6", 1050, 1480},
    {88, "B6 (JIS)", 1280, 1820},
    {91, "Envelope Chou #3", 1200, 2350},
}};

}  // namespace

std::span<const TStandardPaper> StandardPapers() {
  return kStandardPapers;
}

const TStandardPaper* FindStandardPaper(std::int16_t code) {
  for (const TStandardPaper& p : kStandardPapers) {
    if (p.code == code) return &p;
  }
  return nullptr;
}

// ---------------------------------------------------------------------------------------------------
// The printer object

TPrinterSystem::TPrinterSystem() = default;

TPrinterSystem::~TPrinterSystem() {
  AbandonJob();
}

void TPrinterSystem::AbandonJob() {
  // A job still open when the system goes away is abandoned, not finished.
  std::unique_ptr<TPrintJob> job = std::move(FJob);
  if (!job) return;
  ++FJobsWithdrawn;
  try {
    job->Abort();
  } catch (...) {
  }
}

void TPrinterSystem::EnsureList() {
  if (FListBuilt) return;
  try {
    Refresh();
  } catch (const EPrinterError&) {
    // First use: a list that cannot be read is an empty one.
  }
}

const std::vector<Cp932String>& TPrinterSystem::Printers() {
  EnsureList();
  return FEntries;
}

const std::vector<TPrinterRecord>& TPrinterSystem::PrinterRecords() {
  EnsureList();
  return FRecords;
}

void TPrinterSystem::Refresh() {
  Cp932String current;
  if (FIndex >= 0 && static_cast<std::size_t>(FIndex) < FRecords.size()) current = FRecords[FIndex].name;
  FListBuilt = true;
  std::optional<EPrinterError> failure;
  ForgetPrinterDetails();
  try {
    FRecords = EnumPrinters();
  } catch (const EPrinterError& e) {
    FRecords.clear();
    failure = e;
  }
  FEntries.clear();
  for (const TPrinterRecord& r : FRecords) {
    FEntries.push_back(r.port.IsEmpty() ? r.name : r.name + Cp932String(" on ") + r.port);
  }
  // The current printer keeps its place when it is still there.
  FIndex = -1;
  for (std::size_t i = 0; i < FRecords.size(); ++i) {
    if (!current.IsEmpty() && FRecords[i].name == current) FIndex = static_cast<int>(i);
  }
  if (FIndex < 0 && FCurrent != 0) {
    FreeHandle(FCurrent);
    FCurrent = 0;
  }
  if (failure) throw *failure;
}

int TPrinterSystem::DefaultIndex() const {
  for (std::size_t i = 0; i < FRecords.size(); ++i) {
    if (FRecords[i].attributes & PRINTER_ATTRIBUTE_DEFAULT) return static_cast<int>(i);
  }
  return FRecords.empty() ? -1 : 0;
}

int TPrinterSystem::PrinterIndex() {
  EnsureList();
  if (FIndex < 0) SetPrinterIndex(-1);
  return FIndex;
}

void TPrinterSystem::SetPrinterIndex(int index) {
  EnsureList();
  if (index < -1 || index >= static_cast<int>(FRecords.size())) {
    throw EPrinterError(MessageCp932("printing.index-out-of-range"));
  }
  if (index == -1) index = DefaultIndex();
  if (index != FIndex && FCurrent != 0) {
    FreeHandle(FCurrent);
    FCurrent = 0;
  }
  FIndex = index;
}

const TPrinterRecord* TPrinterSystem::CurrentRecord() {
  if (PrinterIndex() < 0) return nullptr;
  return &FRecords[static_cast<std::size_t>(FIndex)];
}

TCurrentDevice TPrinterSystem::GetPrinter() {
  TCurrentDevice result;
  const TPrinterRecord* record = CurrentRecord();
  if (record == nullptr) return result;
  result.device = record->name;
  result.port = record->port;
  result.driver = DriverName(*record);
  if (FCurrent == 0) {
    std::optional<std::vector<std::uint8_t>> defaults = DefaultDevMode(*record);
    if (defaults && !defaults->empty()) FCurrent = NewHandle(std::move(*defaults));
  }
  result.devMode = FCurrent;
  return result;
}

void TPrinterSystem::SetPrinter(const Cp932String& device, const Cp932String& /*driver*/,
                                const Cp932String& /*port*/, TDevModeHandle devMode) {
  EnsureList();
  int found = -1;
  for (std::size_t i = 0; i < FRecords.size(); ++i) {
    if (FRecords[i].name == device) {
      found = static_cast<int>(i);
      break;
    }
  }
  if (found < 0) {
    // A device the list does not know: the list is looked at again once, as the printer may be new.
    Refresh();
    for (std::size_t i = 0; i < FRecords.size(); ++i) {
      if (FRecords[i].name == device) found = static_cast<int>(i);
    }
    if (found < 0) return;
  }
  if (devMode != FCurrent && FCurrent != 0) FreeHandle(FCurrent);
  FIndex = found;
  FCurrent = (devMode != 0 && DevModeSize(devMode) > 0) ? devMode : 0;
}

void TPrinterSystem::AskStartQuestions() {
  FAskingStartQuestions = true;
  const TScopeGuard done([this] { FAskingStartQuestions = false; });
  Refresh();
  const int index = DefaultIndex();
  if (index < 0) return;
  const TPrinterRecord printer = FRecords[static_cast<std::size_t>(index)];
  std::optional<std::vector<std::uint8_t>> block = DefaultDevMode(printer);
  if (!block || block->empty()) return;
  DriverDeviceCaps(printer, *block);
  // A4 as the dialog sets it: the paper code alone decides the size, the driver's check does the rest.
  const std::uint32_t fields = ReadBlockU32(*block, devmode::dmFields).value_or(0);
  WriteBlockU32(*block, devmode::dmFields, fields & ~(DM_PAPERLENGTH | DM_PAPERWIDTH));
  WriteBlockI16(*block, devmode::dmPaperSize, DMPAPER_A4);
  if (MergeDevMode(printer.name, *block)) DriverDeviceCaps(printer, *block);
}

TDevModeHandle TPrinterSystem::NewHandle(std::vector<std::uint8_t> bytes) {
  TDevModeHandle h = FNextHandle++;
  FBlocks.push_back({h, Block{std::move(bytes), 0, false}});
  return h;
}

void TPrinterSystem::FreeHandle(TDevModeHandle handle) {
  for (auto it = FBlocks.begin(); it != FBlocks.end(); ++it) {
    if (it->first != handle) continue;
    if (it->second.locks > 0) {
      it->second.freePending = true;  // freed at the last unlock
    } else {
      FBlocks.erase(it);
    }
    return;
  }
}

std::span<std::uint8_t> TPrinterSystem::LockDevMode(TDevModeHandle handle) {
  for (auto& [h, block] : FBlocks) {
    if (h == handle && !block.freePending) {
      ++block.locks;
      return block.bytes;
    }
  }
  return {};
}

void TPrinterSystem::UnlockDevMode(TDevModeHandle handle) {
  for (auto it = FBlocks.begin(); it != FBlocks.end(); ++it) {
    if (it->first != handle) continue;
    if (it->second.locks > 0) --it->second.locks;
    if (it->second.locks == 0 && it->second.freePending) FBlocks.erase(it);
    return;
  }
}

std::size_t TPrinterSystem::DevModeSize(TDevModeHandle handle) const {
  for (const auto& [h, block] : FBlocks) {
    if (h == handle && !block.freePending) return block.bytes.size();
  }
  return 0;
}

TDeviceCaps TPrinterSystem::DeviceCaps() {
  TCurrentDevice device = GetPrinter();
  const TPrinterRecord* record = CurrentRecord();
  if (record == nullptr || device.devMode == 0) return {};
  std::span<std::uint8_t> block = LockDevMode(device.devMode);
  std::vector<std::uint8_t> copy(block.begin(), block.end());
  UnlockDevMode(device.devMode);
  return DriverDeviceCaps(*record, copy);
}

TDeviceDescription TPrinterSystem::DeviceDescription() {
  return DescribePrinter(DeviceCaps());
}

TDeviceDescription DescribePrinter(const TDeviceCaps& caps) {
  if (caps.logPixelsX <= 0 || caps.logPixelsY <= 0 || caps.horzRes <= 0 || caps.vertRes <= 0) {
    return TDeviceDescription::Screen();
  }
  TDeviceDescription d =
      TDeviceDescription::FromPixels(caps.logPixelsX, caps.logPixelsY, caps.horzRes, caps.vertRes);
  d.OffsetX = caps.physicalOffsetX;
  d.OffsetY = caps.physicalOffsetY;
  d.PhysicalWidth = caps.physicalWidth;
  d.PhysicalHeight = caps.physicalHeight;
  return d;
}

void TPrinterSystem::BeginDoc(const Cp932String& title) {
  if (FJob) throw EPrinterError(MessageCp932("printing.in-progress"));
  TCurrentDevice device = GetPrinter();
  const TPrinterRecord* record = CurrentRecord();
  if (record == nullptr) throw EPrinterError(MessageCp932("printing.no-current-printer"));
  std::vector<std::uint8_t> copy;
  if (device.devMode != 0) {
    std::span<std::uint8_t> block = LockDevMode(device.devMode);
    copy.assign(block.begin(), block.end());
    UnlockDevMode(device.devMode);
  }
  ThrowIfInterrupted();
  std::unique_ptr<TPrintJob> job = StartJob(*record, copy, title);
  if (!job) throw EPrinterError(MessageCp932("printing.cannot-start", {record->name}));
  FJob = std::move(job);
  WithdrawIfInterrupted();
}

void TPrinterSystem::WithdrawIfInterrupted() {
  if (InterruptionSignal() == 0) return;
  Abort();
  throw EInterrupted();
}

void TPrinterSystem::NewPage() {
  if (!FJob) throw EPrinterError(MessageCp932("printing.not-printing"));
  WithdrawIfInterrupted();
  FJob->NewPage();
}

void TPrinterSystem::EndDoc() {
  if (!FJob) throw EPrinterError(MessageCp932("printing.not-printing"));
  WithdrawIfInterrupted();
  std::unique_ptr<TPrintJob> job = std::move(FJob);
  try {
    job->End();
  } catch (...) {
    ++FJobsWithdrawn;  // a job whose hand-over fails is withdrawn by its driver
    throw;
  }
}

void TPrinterSystem::Abort() {
  if (!FJob) return;
  std::unique_ptr<TPrintJob> job = std::move(FJob);
  ++FJobsWithdrawn;
  job->Abort();
}

TCanvas* TPrinterSystem::Canvas() {
  return FJob ? FJob->Canvas() : nullptr;
}

// ---------------------------------------------------------------------------------------------------
// The process-wide system

namespace {

std::unique_ptr<TPrinterSystem>& Installed() {
  static std::unique_ptr<TPrinterSystem> system;
  return system;
}

// The start-up warm-up. Only the UI thread calls these members. The thread reads FMake and FLocale, writes
// FSystem and FAnswered and sets FDone last; the UI thread touches those only after joining it.
class TWarmUpThread {
 public:
  ~TWarmUpThread() { Drop(); }

  bool Running() const { return FThread.joinable(); }
  bool Finished() const { return FDone.load(); }

  void Start(TPrinterSystemMaker make) {
    // The thread reads a copy of the locale as it is now: the toolkit sets the process's locale again as
    // it starts. Without a copy there is no warm-up.
    FLocale = duplocale(LC_GLOBAL_LOCALE);
    if (FLocale == nullptr) return;
    FMake = std::move(make);
    FAnswered = false;
    FDone = false;
    try {
      FThread = std::thread([this] { Ask(); });
    } catch (const std::system_error&) {
      // No thread to be had: the UI thread asks for itself.
      freelocale(FLocale);
      FLocale = nullptr;
      FDone = true;
    }
  }

  // The system the UI thread installs: the warmed one, or a new one that asks again (see Printers.h).
  std::unique_ptr<TPrinterSystem> TakeOver() {
    const bool waited = !FDone.load();
    Join();
    TPrinterSystemMaker make = std::move(FMake);
    std::unique_ptr<TPrinterSystem> system = std::move(FSystem);
    if (system && (FAnswered || waited)) return system;
    system.reset();
    return make();
  }

  void Drop() {
    if (!Running()) return;
    Join();
    FMake = nullptr;
    FSystem.reset();
  }

 private:
  void Ask() {
    uselocale(FLocale);
    try {
      FSystem = FMake();
      FSystem->AskStartQuestions();
      FAnswered = FSystem->ServiceProblem().IsEmpty();
    } catch (...) {
      FSystem.reset();  // in an unknown state: the UI thread starts afresh
    }
    uselocale(LC_GLOBAL_LOCALE);
    FDone = true;
  }

  void Join() {
    FThread.join();
    freelocale(FLocale);
    FLocale = nullptr;
  }

  TPrinterSystemMaker FMake;
  std::thread FThread;
  locale_t FLocale = nullptr;
  std::unique_ptr<TPrinterSystem> FSystem;
  bool FAnswered = false;
  std::atomic<bool> FDone{true};
};

TWarmUpThread& WarmUp() {
  static TWarmUpThread warmUp;
  return warmUp;
}

}  // namespace

TPrinterSystem& Printer() {
  auto& system = Installed();
  if (!system) system = WarmUp().Running() ? WarmUp().TakeOver() : CreateCupsPrinterSystem();
  return *system;
}

std::unique_ptr<TPrinterSystem> SetPrinterSystem(std::unique_ptr<TPrinterSystem> system) {
  WarmUp().Drop();
  std::unique_ptr<TPrinterSystem> previous = std::move(Installed());
  Installed() = std::move(system);
  return previous;
}

void StartPrinterWarmUp(TPrinterSystemMaker make) {
  if (Installed() || WarmUp().Running()) return;
  WarmUp().Start(std::move(make));
}

bool PrinterWarmUpFinished() {
  return WarmUp().Finished();
}

void EndPrinterWarmUp() {
  WarmUp().Drop();
}

}  // namespace tess

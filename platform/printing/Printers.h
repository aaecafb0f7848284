#pragma once
// The printer system: the installed printers, the printer object (current printer, its settings block),
// the driver's services on a settings block, device capabilities and print jobs.
//
// The settings block has the public layout of the ANSI DEVMODE structure (156 bytes, little-endian; the
// offsets below are those of DEVMODEA) followed by a private part of fixed size per driver. The printer
// system owns every block; callers reach one through a handle and lock it for the time they read or change
// it, in the manner of a movable global memory block.
//
// One printer system serves the whole process (Printer()). Start-up uses the CUPS one; tests install a
// virtual one (platform/printing/VirtualPrinters.h). Only the UI thread uses it, except for the start-up
// warm-up (StartPrinterWarmUp), which asks a system's first questions on a thread of its own before the UI
// thread takes that system over.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/core/Cp932String.h"
#include "platform/core/Exceptions.h"
#include "platform/gfx/Canvas.h"

namespace tess {

// ---------------------------------------------------------------------------------------------------
// DEVMODEA public part
namespace devmode {
inline constexpr std::size_t kPublicSize = 156;
inline constexpr std::size_t kDeviceNameSize = 32;
inline constexpr std::size_t kFormNameSize = 32;
// Offsets of the DEVMODEA fields used here (printer branch of the first union).
inline constexpr std::size_t dmDeviceName = 0;      // CHAR[32]
inline constexpr std::size_t dmSpecVersion = 32;    // WORD
inline constexpr std::size_t dmDriverVersion = 34;  // WORD
inline constexpr std::size_t dmSize = 36;           // WORD, size of the public part
inline constexpr std::size_t dmDriverExtra = 38;    // WORD, size of the private part
inline constexpr std::size_t dmFields = 40;         // DWORD
inline constexpr std::size_t dmOrientation = 44;    // short
inline constexpr std::size_t dmPaperSize = 46;      // short
inline constexpr std::size_t dmPaperLength = 48;    // short, 0.1 mm
inline constexpr std::size_t dmPaperWidth = 50;     // short, 0.1 mm
inline constexpr std::size_t dmScale = 52;          // short
inline constexpr std::size_t dmCopies = 54;         // short
inline constexpr std::size_t dmDefaultSource = 56;  // short
inline constexpr std::size_t dmPrintQuality = 58;   // short, dots per inch when positive
inline constexpr std::size_t dmColor = 60;          // short
inline constexpr std::size_t dmDuplex = 62;         // short
inline constexpr std::size_t dmYResolution = 64;    // short
inline constexpr std::size_t dmTTOption = 66;       // short
inline constexpr std::size_t dmCollate = 68;        // short
inline constexpr std::size_t dmFormName = 70;       // CHAR[32]
inline constexpr std::size_t dmLogPixels = 102;     // WORD
inline constexpr std::size_t dmMediaType = 132;     // DWORD

inline constexpr std::uint16_t DM_SPECVERSION = 0x0401;
}  // namespace devmode

inline constexpr std::uint32_t DM_ORIENTATION = 0x00000001;
inline constexpr std::uint32_t DM_PAPERSIZE = 0x00000002;
inline constexpr std::uint32_t DM_PAPERLENGTH = 0x00000004;
inline constexpr std::uint32_t DM_PAPERWIDTH = 0x00000008;
inline constexpr std::uint32_t DM_SCALE = 0x00000010;
inline constexpr std::uint32_t DM_COPIES = 0x00000100;
inline constexpr std::uint32_t DM_DEFAULTSOURCE = 0x00000200;
inline constexpr std::uint32_t DM_PRINTQUALITY = 0x00000400;
inline constexpr std::uint32_t DM_COLOR = 0x00000800;
inline constexpr std::uint32_t DM_DUPLEX = 0x00001000;
inline constexpr std::uint32_t DM_YRESOLUTION = 0x00002000;
inline constexpr std::uint32_t DM_COLLATE = 0x00008000;
inline constexpr std::uint32_t DM_FORMNAME = 0x00010000;

inline constexpr std::int16_t DMORIENT_PORTRAIT = 1;
inline constexpr std::int16_t DMORIENT_LANDSCAPE = 2;

// dmCollate and dmDuplex values. Vertical duplex turns the sheet about its long edge (for portrait pages),
// horizontal about its short edge.
inline constexpr std::int16_t DMCOLLATE_FALSE = 0;
inline constexpr std::int16_t DMCOLLATE_TRUE = 1;
inline constexpr std::int16_t DMDUP_SIMPLEX = 1;
inline constexpr std::int16_t DMDUP_VERTICAL = 2;
inline constexpr std::int16_t DMDUP_HORIZONTAL = 3;

// Paper codes in the usual numbering.
inline constexpr std::int16_t DMPAPER_LETTER = 1;
inline constexpr std::int16_t DMPAPER_LEGAL = 5;
inline constexpr std::int16_t DMPAPER_A3 = 8;
inline constexpr std::int16_t DMPAPER_A4 = 9;
inline constexpr std::int16_t DMPAPER_A5 = 11;
inline constexpr std::int16_t DMPAPER_B4 = 12;     // JIS
inline constexpr std::int16_t DMPAPER_B5 = 13;     // JIS
inline constexpr std::int16_t DMPAPER_USER = 256;  // first code of a driver's own papers

// Paper source codes.
inline constexpr std::int16_t DMBIN_UPPER = 1;
inline constexpr std::int16_t DMBIN_LOWER = 2;
inline constexpr std::int16_t DMBIN_MIDDLE = 3;
inline constexpr std::int16_t DMBIN_MANUAL = 4;
inline constexpr std::int16_t DMBIN_ENVELOPE = 5;
inline constexpr std::int16_t DMBIN_AUTO = 7;
inline constexpr std::int16_t DMBIN_TRACTOR = 8;
inline constexpr std::int16_t DMBIN_LARGECAPACITY = 11;
inline constexpr std::int16_t DMBIN_CASSETTE = 14;
inline constexpr std::int16_t DMBIN_USER = 256;

// Printer attributes of an enumeration record.
inline constexpr std::uint32_t PRINTER_ATTRIBUTE_DEFAULT = 0x00000004;
inline constexpr std::uint32_t PRINTER_ATTRIBUTE_SHARED = 0x00000008;
inline constexpr std::uint32_t PRINTER_ATTRIBUTE_NETWORK = 0x00000010;
inline constexpr std::uint32_t PRINTER_ATTRIBUTE_HIDDEN = 0x00000020;
inline constexpr std::uint32_t PRINTER_ATTRIBUTE_LOCAL = 0x00000040;

// Bounds-checked little-endian access to a settings block: a read outside the block gives nothing, a
// write outside it changes nothing and answers false.
std::optional<std::uint16_t> ReadBlockU16(std::span<const std::uint8_t> block, std::size_t offset);
std::optional<std::int16_t> ReadBlockI16(std::span<const std::uint8_t> block, std::size_t offset);
std::optional<std::uint32_t> ReadBlockU32(std::span<const std::uint8_t> block, std::size_t offset);
bool WriteBlockU16(std::span<std::uint8_t> block, std::size_t offset, std::uint16_t value);
bool WriteBlockI16(std::span<std::uint8_t> block, std::size_t offset, std::int16_t value);
bool WriteBlockU32(std::span<std::uint8_t> block, std::size_t offset, std::uint32_t value);
// A NUL-padded text field of `size` bytes (the text stops at the first NUL or at the field's end).
Cp932String ReadBlockText(std::span<const std::uint8_t> block, std::size_t offset, std::size_t size);
bool WriteBlockText(std::span<std::uint8_t> block, std::size_t offset, std::size_t size,
                    const Cp932String& text);

// A fresh block: public part with dmSpecVersion, dmSize 156, dmDriverExtra = privateSize, the device name
// (cut to 31 bytes) and the driver version; every other byte 0.
std::vector<std::uint8_t> NewDevModeBlock(const Cp932String& deviceName, std::uint16_t driverVersion,
                                          std::size_t privateSize);

// Text cut to at most maxBytes bytes without splitting a two-byte character (the fixed-size name fields of
// the driver's paper and source lists).
Cp932String CutToBytes(const Cp932String& text, std::size_t maxBytes);

// Paper and source names as the driver lists them (DeviceCapabilities DC_PAPERNAMES, DC_BINNAMES).
inline constexpr std::size_t kPaperNameSize = 64;
inline constexpr std::size_t kBinNameSize = 24;

// One record of the printer enumeration.
struct TPrinterRecord {
  Cp932String name;
  Cp932String server;
  Cp932String port;
  std::uint32_t attributes = 0;
};

struct TPaperEntry {
  std::int16_t code = 0;
  Cp932String name;  // at most kPaperNameSize bytes
};

struct TBinEntry {
  std::int16_t code = 0;
  Cp932String name;  // at most kBinNameSize bytes
};

// Device capabilities of the current printer with its current settings, in printer dots (GetDeviceCaps:
// LOGPIXELSX/Y, PHYSICALWIDTH/HEIGHT, HORZRES/VERTRES, PHYSICALOFFSETX/Y). All 0 without a printer.
struct TDeviceCaps {
  int logPixelsX = 0;
  int logPixelsY = 0;
  int physicalWidth = 0;
  int physicalHeight = 0;
  int horzRes = 0;
  int vertRes = 0;
  int physicalOffsetX = 0;
  int physicalOffsetY = 0;
  friend bool operator==(const TDeviceCaps&, const TDeviceCaps&) = default;
};

// A failure of the printer system (a failing enumeration, an index out of range, a job that cannot start or
// that the print service refused).
class EPrinterError : public Exception {
 public:
  using Exception::Exception;
};

// Handle of a settings block owned by the printer system; 0 is no block.
using TDevModeHandle = std::uint64_t;

// What the printer object tells about its current device.
struct TCurrentDevice {
  Cp932String device;  // the printer's name
  Cp932String driver;
  Cp932String port;
  TDevModeHandle devMode = 0;
};

// A running job of a driver: pages are drawn on Canvas() in printer dots, origin at the printable area's
// top-left corner.
class TPrintJob {
 public:
  virtual ~TPrintJob() = default;
  virtual TCanvas* Canvas() = 0;
  virtual void NewPage() = 0;
  virtual void End() = 0;
  virtual void Abort() = 0;
};

class TPrinterSystem {
 public:
  TPrinterSystem();
  virtual ~TPrinterSystem();
  TPrinterSystem(const TPrinterSystem&) = delete;
  TPrinterSystem& operator=(const TPrinterSystem&) = delete;

  // ---- Enumeration (EnumPrintersA): every installed printer in enumeration order, hidden ones included.
  // An unreachable print service answers an empty list (ServiceProblem says why); a failure after printers
  // were found throws EPrinterError.
  virtual std::vector<TPrinterRecord> EnumPrinters() = 0;
  // Why the print service could not be asked the last time it was ("CUPS is not reachable at ..."); empty
  // when it answered.
  const Cp932String& ServiceProblem() const { return FServiceProblem; }
  // Why the driver's services answer nothing for the printer: the print service's problem, or what the
  // driver found out when it asked for the printer (not installed, not found on the network in time);
  // empty when nothing is known against it.
  virtual Cp932String PrinterProblem(const Cp932String& /*device*/) { return ServiceProblem(); }

  // ---- The printer object. Its list is built from the enumeration on first use; an entry is the printer's
  // name, followed by " on " and the port when the printer has one.
  const std::vector<Cp932String>& Printers();
  // The enumeration records behind Printers(), same order.
  const std::vector<TPrinterRecord>& PrinterRecords();
  // Reads the printer list again from the print service: the one place where the list is read, and where
  // what the driver kept of its printers is dropped (ForgetPrinterDetails). The current printer keeps its
  // place (and its settings) when it is still installed; when it went away there is no current printer
  // until one is chosen (PrinterIndex then falls back to the default printer). A failing enumeration
  // empties the list and throws EPrinterError.
  void Refresh();
  // Whether the list has been read (by Refresh or at its first use).
  bool ListRead() const { return FListBuilt; }
  // The current printer's index in Printers(); -1 when there is no printer. Setting -1 selects the
  // system's default printer (the first one when the system names none); an index outside the list throws
  // EPrinterError.
  int PrinterIndex();
  void SetPrinterIndex(int index);
  // The current device; its settings block is built from the driver's defaults when it has none yet
  // (devMode stays 0 when the driver cannot give one, e.g. the printer went away).
  TCurrentDevice GetPrinter();
  // Makes the printer named `device` current; with a handle its block becomes the current settings, with 0
  // the next GetPrinter builds a block from the driver's defaults.
  void SetPrinter(const Cp932String& device, const Cp932String& driver, const Cp932String& port,
                  TDevModeHandle devMode);

  // ---- Start-up: asks what the dialog asks first, so that the driver has the answers when it is asked
  // again: the printer list (read as Refresh reads it), the default printer's default settings and their
  // device capabilities, and the same settings with A4 paper, as the dialog asks for A4 when it is created.
  // The current printer and its settings stay as they were. A failing enumeration throws EPrinterError.
  void AskStartQuestions();

  // ---- Settings blocks (GlobalLock/GlobalUnlock/GlobalSize).
  std::span<std::uint8_t> LockDevMode(TDevModeHandle handle);  // empty span for an unknown handle
  void UnlockDevMode(TDevModeHandle handle);
  std::size_t DevModeSize(TDevModeHandle handle) const;

  // ---- Driver services on a named printer (DocumentPropertiesA, DeviceCapabilitiesA).
  // Checks and completes a changed block in place; false when the driver refused or the printer is gone.
  virtual bool MergeDevMode(const Cp932String& device, std::span<std::uint8_t> block) = 0;
  // The papers and sources the driver offers, in its order; empty when it answers none.
  virtual std::vector<TPaperEntry> Papers(const Cp932String& device) = 0;
  virtual std::vector<TBinEntry> Bins(const Cp932String& device) = 0;

  // ---- The current printer's device context.
  TDeviceCaps DeviceCaps();
  // The current printer as the reference device of a recording (printable area in dots, offsets, paper).
  TDeviceDescription DeviceDescription();

  // ---- Print jobs on the current printer with its current settings (dmCopies, dmCollate and dmDuplex of
  // the block go with the job). EndDoc hands the job over to the print service; Abort withdraws it, and a
  // job the service already knows of is cancelled. A run that was interrupted (platform/core/Interruption.h)
  // starts no job, and a job it interrupts is withdrawn at its next page or at EndDoc, which then throw
  // EInterrupted.
  void BeginDoc(const Cp932String& title);  // throws EPrinterError when no job can start
  void NewPage();
  void EndDoc();
  void Abort();
  bool Printing() const { return FJob != nullptr; }
  TCanvas* Canvas();  // the job's canvas; nullptr when not printing
  // How many jobs were withdrawn (Abort, a job abandoned, or one whose hand-over failed) since the system was
  // made.
  int JobsWithdrawn() const { return FJobsWithdrawn; }

 protected:
  // The driver's default settings for a printer (DocumentPropertiesA with DM_OUT_BUFFER); nothing when the
  // printer is unknown or unreachable.
  virtual std::optional<std::vector<std::uint8_t>> DefaultDevMode(const TPrinterRecord& printer) = 0;
  virtual Cp932String DriverName(const TPrinterRecord& printer) = 0;
  // Device capabilities for the printer with these settings.
  virtual TDeviceCaps DriverDeviceCaps(const TPrinterRecord& printer,
                                       std::span<const std::uint8_t> block) = 0;
  // A new job, or nothing when the driver cannot start one; a refusal of the print service (the queue is
  // paused or rejects jobs, the service does not answer) throws EPrinterError saying so.
  virtual std::unique_ptr<TPrintJob> StartJob(const TPrinterRecord& printer,
                                              std::span<const std::uint8_t> block,
                                              const Cp932String& title) = 0;
  // Called by Refresh before the list is read again: a driver that keeps what it learnt of its printers
  // (papers, sources, capabilities, default settings) forgets it here, so that a printer added, removed or
  // changed since is seen as it is now.
  virtual void ForgetPrinterDetails() {}
  void SetServiceProblem(const Cp932String& problem) { FServiceProblem = problem; }
  // Records of the printer object's list (valid after Printers()).
  const TPrinterRecord* CurrentRecord();
  // Abandons a job still open. A driver whose jobs refer to it calls this in its own destructor, while
  // the job's driver still exists.
  void AbandonJob();
  // The installed printers changed: the list is read again at its next use.
  void ListChanged() { FListBuilt = false; }
  // Whether the questions being answered are the start's (AskStartQuestions): a driver may leave out of
  // its list what only a slow lookup finds, as the list is read again when a print dialog opens.
  bool AskingStartQuestions() const { return FAskingStartQuestions; }

 private:
  void EnsureList();
  // Withdraws the open job and throws EInterrupted when the run was interrupted.
  void WithdrawIfInterrupted();
  TDevModeHandle NewHandle(std::vector<std::uint8_t> bytes);
  void FreeHandle(TDevModeHandle handle);
  int DefaultIndex() const;

  struct Block {
    std::vector<std::uint8_t> bytes;
    int locks = 0;
    bool freePending = false;
  };
  bool FListBuilt = false;
  bool FAskingStartQuestions = false;
  Cp932String FServiceProblem;
  std::vector<TPrinterRecord> FRecords;
  std::vector<Cp932String> FEntries;
  int FIndex = -1;
  TDevModeHandle FCurrent = 0;
  std::vector<std::pair<TDevModeHandle, Block>> FBlocks;
  TDevModeHandle FNextHandle = 1;
  std::unique_ptr<TPrintJob> FJob;
  int FJobsWithdrawn = 0;
};

// A printer with these capabilities as a reference device.
TDeviceDescription DescribePrinter(const TDeviceCaps& caps);

// The process-wide printer system. The first call without one installed takes over a start-up warm-up's
// system (StartPrinterWarmUp below) or, without one, creates the CUPS printer system.
TPrinterSystem& Printer();
// Installs a printer system (tests install a virtual one) and returns the one it replaces; a warm-up's
// system is dropped, never returned.
std::unique_ptr<TPrinterSystem> SetPrinterSystem(std::unique_ptr<TPrinterSystem> system);

// ---- The start-up warm-up: the printer questions the dialog asks first, asked on a thread of their own
// while the UI thread starts the toolkit (docs/printers.md, "Start-up").
//
// StartPrinterWarmUp makes a printer system with `make` on a new thread and asks it AskStartQuestions;
// nothing else touches that system until the UI thread takes it over, at the first Printer() call without
// an installed system, waiting for the thread if it is still asking. A warm-up the print service answered
// is taken as it is. One that failed (the service unreachable, an exception) is dropped and the UI thread
// makes a new system with `make` that asks again, as without a warm-up; except when the UI thread had to
// wait for that failure (a silent service, a host that takes no connections): it is then as recent as the
// UI thread's own question would have been, and asking again would only wait as long once more.
// SetPrinterSystem and EndPrinterWarmUp wait for the thread and drop its system. Does nothing when a
// printer system is installed or a warm-up is running.
//
// The thread works on its own copy of the process's locale. The print service's library still reads the
// process's locale names and environment, so the caller starts the warm-up where nothing changes them until
// the UI thread takes the system over (StartProgramPlatform sees to that for the toolkit's start).
using TPrinterSystemMaker = std::function<std::unique_ptr<TPrinterSystem>()>;
void StartPrinterWarmUp(TPrinterSystemMaker make);
// Whether a warm-up's thread has finished asking (or none was started); for tests.
bool PrinterWarmUpFinished();
// Waits for a warm-up the UI thread did not take over and drops its system: its thread must not outlive
// the program's main function.
void EndPrinterWarmUp();

// The real one: CUPS through the toolkit's print support, the program's own questions to the scheduler and
// libcups. `server` ("host", "host:port" or a local socket path) overrides the configured CUPS server;
// empty takes the configured one. With `ippOnly` the queues are described from their IPP attributes even
// when they have a PPD (as driverless queues are). Where the program may ask the scheduler itself
// (SchedulerAddress.h), libcups is loaded at the first request that needs it, and one that cannot be
// loaded is that request's service problem; elsewhere it is loaded by the call, and when it cannot be, the
// system has no printers and its service problem says why.
std::unique_ptr<TPrinterSystem> CreateCupsPrinterSystem(const std::string& server = {}, bool ippOnly = false);
// Why the library file `fileName` cannot serve as libcups (it cannot be loaded, or lacks a function the
// program calls, which is named); empty when it can. CreateCupsPrinterSystem loads libcups.so.2 this way.
std::string CupsLibraryProblem(const char* fileName);
// A printer system without printers (the machine as if none were installed): it asks no print service.
// `problem`, when given, is its service problem: why there are no printers.
std::unique_ptr<TPrinterSystem> CreateNoPrinterSystem(const Cp932String& problem = {});

// Paper codes of the usual numbering with the size of the paper in 0.1 mm (portrait), for drivers that
// describe their papers by size or name. nullopt for a code not in the table.
struct TStandardPaper {
  std::int16_t code;
  const char* name;  // the usual English name, "A4", "Letter", ...
  int width;         // 0.1 mm
  int height;        // 0.1 mm
};
std::span<const TStandardPaper> StandardPapers();
const TStandardPaper* FindStandardPaper(std::int16_t code);

}  // namespace tess

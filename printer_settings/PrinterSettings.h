#pragma once
// TplSetPrinter: a non-visual component that stands for one printer and a complete copy of its driver
// settings block. Stored with its form, it puts its printer and settings back on the system printer before
// printing, reads and writes single settings, answers device-capability questions and runs the printer
// setup dialog.

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/components/Component.h"
#include "platform/components/Events.h"
#include "platform/printing/Printers.h"

namespace tess {

class TPrinterSetupDialog;

// Kinds of device capabilities, in printer dots.
enum TplDeviceCapsKind {
  dcPixelsPerInchX,
  dcPixelsPerInchY,
  dcPaperWidth,
  dcPaperHeight,
  dcPrintableWidth,
  dcPrintableHeight,
  dcOffsetTop,
  dcOffsetBottom,
  dcOffsetLeft,
  dcOffsetRight,
};

using TplPrtDialogCloseEvent = std::function<void(TComponent* Sender, int ID)>;

class TplSetPrinter : public TComponent {
  TESS_COMPONENT_CLASS(TplSetPrinter, TComponent)
 public:
  explicit TplSetPrinter(TComponent* owner);
  ~TplSetPrinter() override;

  // Published properties.
  Cp932String PrinterName() const;
  void SetPrinterName(const Cp932String& value);
  TplPrtDialogCloseEvent OnDialogClose;  // kept for the form; never raised here
  TNotifyEvent OnPrinterChange;
  TNotifyEvent OnSetupDialogShow;   // Sender = the setup dialog
  TNotifyEvent OnSetupDialogClose;  // Sender = the setup dialog

  // Printers. The list is the printer object's; it is read again from the print service (Refresh) by
  // CountPrinters, by every selection by name, and before a job.
  static int CountPrinters();  // reads the list again and answers the number
  int PrinterCount() const { return FPrinterCount; }
  // The selected printer's index in the list as it stands (the list may have been read again since the
  // selection); -1 for the default printer.
  int PrinterIndex() const;
  static Cp932String MatchPrinterName(const Cp932String& text);
  static int FindPrinterIndex(const Cp932String& text);
  void SelectPrinter(const Cp932String& name);
  void SelectStoredPrinter();
  // Makes the component's printer, with its settings, the one a job prints on; throws EPrinterError naming
  // it when it is no longer installed (never another printer instead), or saying that the print service
  // cannot be reached when it lists no printers because it did not answer.
  void RequirePrinter();
  bool RestoreDevMode();
  void UpdateFromPrinter(bool follow);

  // Single settings.
  int PaperSize();
  void SetPaperSize(int code);
  bool SetPaperSizeChecked(std::int16_t code);
  bool Landscape();
  void SetLandscape(bool landscape);
  int PaperBin();
  void SetPaperBin(int code);
  int Copies();  // dmCopies, 1 .. 999
  void SetCopies(int copies);
  Cp932String PaperName();
  void SetPaperName(const Cp932String& name);
  Cp932String PaperBinName();
  void SetPaperBinName(const Cp932String& name);
  int DriverVersion();
  int DeviceCaps(TplDeviceCapsKind kind);

  bool ExecuteSetupDialog();

  // The component's own copy of the settings block.
  int DevDataSize() const { return FDevDataSize; }
  const std::vector<std::uint8_t>& DevData() const { return FDevData; }

  // The design record (DesignValue).
  const Cp932String& DesignPrinterName() const { return FDesignPrinterName; }
  int DesignLandscape() const { return FDesignLandscape; }
  const Cp932String& DesignPaperName() const { return FDesignPaperName; }
  int DesignPaperSize() const { return FDesignPaperSize; }
  int DesignPaperBin() const { return FDesignPaperBin; }
  int DesignDriverVersion() const { return FDesignDriverVersion; }

  // What the setup dialog showed when it last closed.
  const Cp932String& DialogPaperName() const { return FDialogPaperName; }
  const Cp932String& DialogBinName() const { return FDialogBinName; }
  bool DialogLandscape() const { return FDialogLandscape; }

  void DefineProperties(TFiler& filer) override;
  void Loaded() override;

 private:
  // A locked settings block of the printer object's current device (LockSettings); unlocks when it goes.
  class Settings;
  void TakeSnapshot();
  bool MergeSettings(const Cp932String& device, std::span<std::uint8_t> block);
  void ApplySettings(TDevModeHandle handle, const TCurrentDevice& device);
  void ReselectIfMoved();
  // The index of the visible printer named exactly `name` (letter case aside), else FindPrinterIndex(name).
  static int PrinterIndexOf(const Cp932String& name);
  bool DevDataFits(std::size_t blockSize) const;
  void WriteField(std::uint32_t flag, std::size_t offset, std::int16_t value);
  std::int16_t ReadField(std::size_t offset, std::int16_t fallback);
  void SetupDialogClose(TPrinterSetupDialog& dialog);

  void ReadDevData(TReader& reader);
  void WriteDevData(TWriter& writer) const;
  void ReadDesignValue(TReader& reader);
  void WriteDesignValue(TWriter& writer) const;

  Cp932String FPrinterName;
  int FPrinterCount = 0;
  Cp932String FSelectedName;  // what the last SelectPrinter was given
  Cp932String FDevice, FDriver, FPort;
  std::vector<std::uint8_t> FDevData;
  int FDevDataSize = 0;

  Cp932String FDesignPrinterName;
  int FDesignLandscape = 0;
  Cp932String FDesignPaperName;
  int FDesignPaperSize = 0;
  int FDesignPaperBin = 0;
  int FDesignDriverVersion = 0;

  Cp932String FDialogPaperName;
  Cp932String FDialogBinName;
  bool FDialogLandscape = false;
};

}  // namespace tess

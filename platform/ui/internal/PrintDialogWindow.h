#pragma once
// The toolkit's print dialog while a driver works it (platform/ui/PrintDialogs.h), and the object names of
// the parts of it that the program reads and the driver's operations (platform/ui/PrintDialogInput.h) use.
// For platform sources only.

#include <QPrintDialog>

namespace tess {

namespace printdialog {
inline constexpr const char* kPrinterBox = "printers";
inline constexpr const char* kOptionsPane = "QPrintSettingsOutput";  // hidden until "Options >>" is pressed
inline constexpr const char* kCopiesBox = "copies";
inline constexpr const char* kPagesChoice = "pagesRadioButton";
inline constexpr const char* kPagesEntry = "pagesLineEdit";
inline constexpr const char* kPageSetBox = "pageSetCombo";
}  // namespace printdialog

class TPrintDialogWindow {
 public:
  explicit TPrintDialogWindow(QPrintDialog& dialog) : FDialog(dialog) {}
  QPrintDialog& Dialog() const { return FDialog; }

 private:
  QPrintDialog& FDialog;
};

}  // namespace tess

#pragma once
// A check box with its caption.

#include "platform/ui/Controls.h"

namespace tess {

// A check box with its caption. Changing Checked (by the user or the program, but not while the design
// is read) fires OnClick.
class TCheckBox : public TWinControl {
  TESS_COMPONENT_CLASS(TCheckBox, TWinControl)
 public:
  explicit TCheckBox(TComponent* owner);
  bool Checked() const { return FChecked; }
  void SetChecked(bool checked);
  void DefineProperties(TFiler& filer) override;

 protected:
  void CaptionChanged() override;

 private:
  bool FChecked = false;
};

}  // namespace tess

#pragma once
// A bar of buttons standing left to right.

#include "platform/ui/Controls.h"

namespace tess {

// A bar whose visible controls stand left to right in their order, ButtonHeight high (invisible ones take
// no room; no wrapping).
class TToolBar : public TWinControl {
  TESS_COMPONENT_CLASS(TToolBar, TWinControl)
 public:
  explicit TToolBar(TComponent* owner);
  int ButtonHeight() const { return FButtonHeight; }
  void SetButtonHeight(int h);
  bool Flat() const { return FFlat; }
  void SetFlat(bool f) {
    FFlat = f;
    ArrangeButtons();
  }
  bool Wrapable() const { return FWrapable; }
  void SetWrapable(bool w) { FWrapable = w; }
  // Places the buttons again (after a visibility change).
  void ArrangeButtons();
  void DefineProperties(TFiler& filer) override;
  void Loaded() override;

 protected:
  void ControlChanged(TControl* control) override;

 private:
  int FButtonHeight = 22;
  bool FFlat = false, FWrapable = true;
  bool FArranging = false;
};

}  // namespace tess

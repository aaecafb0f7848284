#pragma once
// A text label drawn on its parent.

#include "platform/ui/Controls.h"

namespace tess {

class TLabel : public TControl {
  TESS_COMPONENT_CLASS(TLabel, TControl)
 public:
  explicit TLabel(TComponent* owner);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool wrap);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool autoSize) { FAutoSize = autoSize; }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool t);
  void DefineProperties(TFiler& filer) override;
  bool IsGraphicControl() const override { return true; }

 protected:
  void CaptionChanged() override;
  void ColorChanged() override;

 private:
  bool FWordWrap = false, FAutoSize = true, FTransparent = false;
};

}  // namespace tess

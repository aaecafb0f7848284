#pragma once
// A bevelled frame or line drawn on its parent.

#include "platform/ui/Controls.h"

namespace tess {

enum class TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum class TBevelStyle { bsLowered, bsRaised };

class TBevel : public TControl {
  TESS_COMPONENT_CLASS(TBevel, TControl)
 public:
  explicit TBevel(TComponent* owner);
  TBevelShape Shape() const { return FShape; }
  void SetShape(TBevelShape shape);
  TBevelStyle Style() const { return FStyle; }
  void SetStyle(TBevelStyle style);
  void DefineProperties(TFiler& filer) override;
  bool IsGraphicControl() const override { return true; }

 private:
  TBevelShape FShape = TBevelShape::bsBox;
  TBevelStyle FStyle = TBevelStyle::bsLowered;
};

}  // namespace tess

#pragma once
// A scrolling area and its scroll bars.

#include <memory>

#include "platform/ui/Controls.h"

namespace tess {

class TScrollBox;

// One scroll bar of a scroll box. Position and Range are in pixels; Margin is the room kept beyond the
// farthest control when the box scrolls automatically.
class TControlScrollBar {
 public:
  int Position() const;
  void SetPosition(int position);
  int Range() const;
  void SetRange(int range);
  bool Visible() const { return FVisible; }
  void SetVisible(bool visible);
  int Margin() const { return FMargin; }
  void SetMargin(int margin);
  bool Tracking() const { return FTracking; }
  void SetTracking(bool tracking);
  // The room left for the content when this bar shows (0 when hidden).
  int Size() const;

 private:
  friend class TScrollBox;
  TControlScrollBar(TScrollBox* box, bool horizontal) : FBox(box), FHorizontal(horizontal) {}
  TScrollBox* FBox;
  bool FHorizontal;
  bool FVisible = true;
  int FMargin = 0;
  int FRange = 0;
  bool FTracking = false;
};

// A scrolling area. Its controls are placed in content coordinates (unscrolled); with AutoScroll the
// content reaches Margin beyond the farthest visible control.
class TScrollBox : public TWinControl {
  TESS_COMPONENT_CLASS(TScrollBox, TWinControl)
 public:
  explicit TScrollBox(TComponent* owner);
  ~TScrollBox() override;
  bool AutoScroll() const { return FAutoScroll; }
  void SetAutoScroll(bool autoScroll);
  TControlScrollBar& HorzScrollBar() { return *FHorz; }
  TControlScrollBar& VertScrollBar() { return *FVert; }
  const TControlScrollBar& HorzScrollBar() const { return *FHorz; }
  const TControlScrollBar& VertScrollBar() const { return *FVert; }
  // The visible inside (without scroll bars that show).
  int ClientWidth() const override;
  int ClientHeight() const override;
  // Recomputes the scroll ranges from the controls (AutoScroll).
  void UpdateScrollRange();
  void DefineProperties(TFiler& filer) override;
  void Loaded() override;

 protected:
  void ControlChanged(TControl* control) override;
  void ColorChanged() override;
  void BoundsChanged() override;

 private:
  friend class TControlScrollBar;
  std::unique_ptr<TControlScrollBar> FHorz, FVert;
  bool FAutoScroll = true;
};

}  // namespace tess

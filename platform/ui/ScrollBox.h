#pragma once
// A scrolling area and its scroll bars.

#include <memory>

#include "platform/ui/Controls.h"

namespace tess {

class TScrollBox;

// One scroll bar of a scroll box. Position and Range are in pixels: Position is the content coordinate at
// the view's left or top edge (below 0 while the content starts before 0), Range the content's size. Margin
// is the room kept beyond the farthest control, and before the nearest one that lies before 0, when the box
// scrolls automatically.
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
  int Origin() const;  // the content coordinate where the bar's count starts
  TScrollBox* FBox;
  bool FHorizontal;
  bool FVisible = true;
  int FMargin = 0;
  int FRange = 0;
  bool FTracking = false;
};

// A scrolling area. Its controls are placed in content coordinates (unscrolled). With AutoScroll the
// content reaches Margin beyond the farthest visible control, and starts at 0 or, when a visible control
// lies left of or above 0, Margin before the nearest one, so every part of every control can be scrolled
// to.
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
  // Holds the view still while the user drags a control (AutoScroll): from now on the range also reaches
  // over what is in view, so a control moved away from the view's part of the content does not scroll it.
  // What the hold adds beyond the controls goes once it is scrolled out of view (when a thumb is let go,
  // not while it is held, so the thumb stays under the pointer). ReleaseView ends the hold, so that a new
  // layout of the controls brings the view back within the range they need.
  void HoldView();
  void ReleaseView();
  bool HoldsView() const { return FHoldView; }
  void DefineProperties(TFiler& filer) override;
  void Loaded() override;

 protected:
  void ControlChanged(TControl* control) override;
  void ColorChanged() override;
  void BoundsChanged() override;
  TPoint ClientWidgetOrigin() const override { return TPoint{-FOriginX, -FOriginY}; }

 private:
  friend class TControlScrollBar;
  // The view moved (a scroll bar's value changed, or its thumb was let go).
  void ViewMoved();
  std::unique_ptr<TControlScrollBar> FHorz, FVert;
  bool FAutoScroll = true;
  bool FHoldView = false;
  bool FUpdating = false;
  int FOriginX = 0, FOriginY = 0;  // where the content starts: 0, or left of and above it
};

}  // namespace tess

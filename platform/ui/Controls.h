#pragma once
// Controls: components with a window-system widget behind them, placed in pixels on their parent.
// A control's owner frees it; its parent shows it. A control owned by a windowed control (a form, say)
// starts with that owner as its parent; a stored design may name another parent ("Parent": "ScrollBox1").

#include <memory>
#include <string>
#include <vector>

#include "platform/components/Component.h"
#include "platform/components/Events.h"
#include "platform/core/Cp932String.h"
#include "platform/gfx/Canvas.h"
#include "platform/ui/Types.h"

namespace tess {

struct TWidgetHandle;  // the toolkit widget behind a control; defined for platform sources only
class TWinControl;
class TPopupMenu;

// The font of a control. Height follows the GDI convention: negative = character height in pixels,
// positive = cell height; Size is in points at 96 pixels per inch.
class TControlFont {
 public:
  Cp932String Name = "Tahoma";
  int Height = -11;
  TFontStyles Style = 0;
  TColor Color = clWindowText;
  int Charset = 1;  // DEFAULT_CHARSET
  int Size() const { return -Height * 72 / 96; }
  void SetSize(int points) { Height = -(points * 96 + 36) / 72; }
  friend bool operator==(const TControlFont&, const TControlFont&) = default;
  void DefineProperties(TFiler& filer, const std::string& prefix, const std::function<void()>& changed,
                        bool hasData);
};

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TDragMode { dmManual, dmAutomatic };

class TControl : public TComponent {
  TESS_COMPONENT_CLASS(TControl, TComponent)
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* parent);

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
  void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
  void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
  void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
  virtual int ClientWidth() const { return FWidth; }
  virtual int ClientHeight() const { return FHeight; }
  virtual void SetClientWidth(int v) { SetWidth(v); }
  virtual void SetClientHeight(int v) { SetHeight(v); }
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;

  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and every parent up to the form shown on the screen.
  bool Showing() const;
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool enabled);

  const Cp932String& Caption() const { return FCaption; }
  void SetCaption(const Cp932String& caption);
  const Cp932String& Hint() const { return FHint; }
  void SetHint(const Cp932String& hint);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool show);
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  const TControlFont& Font() const { return FFont; }
  void SetFont(const TControlFont& font);
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool parentFont);
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign align);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor cursor);
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* menu);
  TDragMode DragMode() const { return FDragMode; }
  void SetDragMode(TDragMode mode) { FDragMode = mode; }

  // Dragging a control: the control under the pointer gets OnDragOver while the drag moves and OnDragDrop
  // when it is released over a control that accepted it. `immediate` starts without a movement threshold.
  void BeginDrag(bool immediate, int threshold = -1);
  void EndDrag(bool drop);
  bool Dragging() const;

  void Invalidate();
  void Repaint();
  void BringToFront();
  void SendToBack();
  // Fires OnClick as a user's click would (through the application's general handler).
  virtual void Click();

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TEndDragEvent OnEndDrag;
  TNotifyEvent OnResize;

  TWidgetHandle* Handle() const { return FHandle.get(); }
  void DefineProperties(TFiler& filer) override;
  void Loaded() override;

  // Controls drawn on their parent (labels, bevels, shapes, images) lie under windowed controls.
  virtual bool IsGraphicControl() const { return false; }
  // Windows of their own (forms) have no parent control.
  virtual bool IsTopLevel() const { return false; }

 protected:
  // Derived constructors (in platform sources) give the control its widget.
  void SetHandle(std::unique_ptr<TWidgetHandle> handle);
  // Where the client point (0, 0) lies on the widget the children stand on: a scroll box whose content
  // starts left of or above 0 moves it right and down. Children are placed by it, and the client
  // coordinates of mouse points and ClientToScreen count it.
  virtual TPoint ClientWidgetOrigin() const { return TPoint{}; }
  virtual void CaptionChanged() {}
  virtual void FontChanged();
  virtual void ColorChanged() {}
  virtual void BoundsChanged();
  void Notification(TComponent* component, TOperation operation) override;
  // Published properties shared by most controls, so descendants can choose what they store.
  void DefineBoundsProperties(TFiler& filer);
  void DefineCaptionProperty(TFiler& filer, const char* name = "Caption");
  void DefineMouseEvents(TFiler& filer);

  std::string FOnClickName, FOnDblClickName, FOnMouseDownName, FOnMouseUpName, FOnMouseMoveName,
      FOnDragOverName, FOnDragDropName, FOnEndDragName, FOnResizeName;

 private:
  friend class TWinControl;
  friend struct TControlAccess;
  void ApplyFont();
  // Puts the widget at the control's bounds on its parent.
  void PlaceWidget();
  std::unique_ptr<TWidgetHandle> FHandle;
  TWinControl* FParent = nullptr;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  bool FVisible = true, FEnabled = true, FShowHint = false, FParentFont = true;
  Cp932String FCaption, FHint;
  TColor FColor = clBtnFace;
  TControlFont FFont;
  TAlign FAlign = TAlign::alNone;
  TCursor FCursor = crDefault;
  TPopupMenu* FPopupMenu = nullptr;
  TDragMode FDragMode = TDragMode::dmManual;
};

// A control that holds other controls and can take the keyboard focus.
class TWinControl : public TControl {
  TESS_COMPONENT_CLASS(TWinControl, TControl)
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  int ControlCount() const { return static_cast<int>(FControls.size()); }
  TControl* Controls(int index) const { return FControls.at(static_cast<std::size_t>(index)); }
  int TabOrder() const { return FTabOrder; }
  void SetTabOrder(int order);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool stop);
  bool Focused() const;
  virtual void SetFocus();
  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool v) { FDoubleBuffered = v; }

  // Places the aligned children (top, bottom, left, right, then client) and restacks graphic controls
  // under windowed ones; chains the keyboard focus in tab order.
  void Realign();
  void UpdateTabOrder();

  TMouseWheelEvent OnMouseWheel;

  void DefineProperties(TFiler& filer) override;
  void Loaded() override;

 protected:
  void BoundsChanged() override;
  // A child control moved, changed size or was shown or hidden.
  virtual void ControlChanged(TControl* /*control*/) {}
  std::string FOnMouseWheelName;

 private:
  friend class TControl;
  friend struct TControlAccess;
  std::vector<TControl*> FControls;
  int FTabOrder = -1;
  bool FTabStop = true;
  bool FDoubleBuffered = false;
};

// A plain container with an optional bevelled border (the preview's display panel).
enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
class TPanel : public TWinControl {
  TESS_COMPONENT_CLASS(TPanel, TWinControl)
 public:
  explicit TPanel(TComponent* owner);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut cut);
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int width);
  void DefineProperties(TFiler& filer) override;

 protected:
  void CaptionChanged() override;
  void ColorChanged() override;

 private:
  TBevelCut FBevelOuter = TBevelCut::bvRaised;
  int FBorderWidth = 0;
};

// Registers every control class of the platform layer for creation by class name from stored designs.
void RegisterControlClasses();

}  // namespace tess

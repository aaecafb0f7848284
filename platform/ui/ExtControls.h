#pragma once
// The controls of the preview window: toolbar and speed buttons, status bar with panels, scroll box,
// picture control that stretches a page recording to its bounds, rectangle shapes, popup menus.

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/ui/Controls.h"
#include "platform/gfx/emf/Metafile.h"

namespace tess {

// The pictures a speed button can show; drawn by the platform layer in the system's colours.
enum class TStandardGlyph {
  sgNone,
  sgPrint,
  sgPrinterSetup,
  sgFirstPage,
  sgPriorPage,
  sgNextPage,
  sgLastPage,
  sgZoomOut,
  sgZoomIn,
  sgPageWhole,
  sgPageWidth,
  sgClose
};
enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// A flat toolbar button with a glyph, caption and hint. A disabled button shows its glyph greyed.
class TSpeedButton : public TControl {
  TESS_COMPONENT_CLASS(TSpeedButton, TControl)
 public:
  explicit TSpeedButton(TComponent* owner);
  TStandardGlyph Glyph() const { return FGlyph; }
  void SetGlyph(TStandardGlyph glyph);
  // A glyph from image file bytes (PNG, BMP) instead of a standard one.
  void SetGlyphImage(std::string_view imageBytes);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout layout);
  bool Flat() const { return FFlat; }
  void SetFlat(bool flat);
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int n) { FNumGlyphs = n; }
  void Click() override;
  void DefineProperties(TFiler& filer) override;

 protected:
  void CaptionChanged() override;

 private:
  void UpdateIcon();
  TStandardGlyph FGlyph = TStandardGlyph::sgNone;
  TButtonLayout FLayout = TButtonLayout::blGlyphLeft;
  bool FFlat = false;
  int FNumGlyphs = 1;
};

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

struct TStatusPanel {
  int Width = 50;
  Cp932String Text;
};

// A status bar with panels and, optionally, a size grip in its right corner.
class TStatusBar : public TWinControl {
  TESS_COMPONENT_CLASS(TStatusBar, TWinControl)
 public:
  explicit TStatusBar(TComponent* owner);
  int PanelCount() const { return static_cast<int>(FPanels.size()); }
  const TStatusPanel& Panel(int index) const { return FPanels.at(static_cast<std::size_t>(index)); }
  void SetPanels(const std::vector<TStatusPanel>& panels);
  void SetPanelText(int index, const Cp932String& text);
  void SetPanelWidth(int index, int width);
  bool SizeGrip() const { return FSizeGrip; }
  void SetSizeGrip(bool grip);
  void DefineProperties(TFiler& filer) override;

 private:
  std::vector<TStatusPanel> FPanels;
  bool FSizeGrip = true;
};

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

// A picture control. It shows a page recording, stretched to its bounds when Stretch is set (at its own
// size from the top-left corner otherwise). The control keeps its own copy of the recording.
class TImage : public TControl {
  TESS_COMPONENT_CLASS(TImage, TControl)
 public:
  explicit TImage(TComponent* owner);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool stretch);
  const TMetafile& Picture() const { return FPicture; }
  void SetPicture(const TMetafile& picture);
  void ClearPicture();
  bool HasPicture() const { return !FPicture.Empty(); }
  // Paper under the picture: the bounds are filled with `color` before the picture plays, and the picture
  // is clipped to `clip`, given in units in which the picture spans extentX x extentY (a page's 0.1 mm).
  // The picture is played at the screen's device pixels (crisp on high-density screens) once per size,
  // then the pixels are kept, so scrolling and dragging repaint without playing it again.
  void SetPaper(TColor color, const TRect* clip = nullptr, int extentX = 0, int extentY = 0);
  void ClearPaper();
  bool HasPaper() const { return FHasPaper; }
  TColor PaperColor() const { return FPaperColor; }
  // How many times the picture has been played for the screen (tests and benchmarks).
  int PlayCount() const { return FPlayCount; }
  // Plays the picture as the control shows it into a bitmap of its size times `pixelRatio`.
  TBitmap24 Render(double pixelRatio = 1.0) const;
  void DefineProperties(TFiler& filer) override;
  bool IsGraphicControl() const override { return true; }

 private:
  friend class TImagePainter;
  TMetafile FPicture;
  bool FStretch = false;
  bool FHasPaper = false;
  TColor FPaperColor = clWhite;
  bool FHasClip = false;
  TRect FClip{};
  int FClipExtentX = 0, FClipExtentY = 0;
  unsigned FGeneration = 0;  // changes whenever what the control shows changes
  mutable int FPlayCount = 0;
};

enum class TShapeType { stRectangle, stSquare, stRoundRect, stEllipse, stCircle };

// A shape drawn with a pen and filled with a brush (a page frame, a shadow).
class TShape : public TControl {
  TESS_COMPONENT_CLASS(TShape, TControl)
 public:
  explicit TShape(TComponent* owner);
  TShapeType Shape() const { return FShape; }
  void SetShape(TShapeType shape);
  TColor PenColor() const { return FPenColor; }
  void SetPenColor(TColor color);
  int PenWidth() const { return FPenWidth; }
  void SetPenWidth(int width);
  TPenStyle PenStyle() const { return FPenStyle; }
  void SetPenStyle(TPenStyle style);
  TColor BrushColor() const { return FBrushColor; }
  void SetBrushColor(TColor color);
  TBrushStyle BrushStyle() const { return FBrushStyle; }
  void SetBrushStyle(TBrushStyle style);
  void DefineProperties(TFiler& filer) override;
  bool IsGraphicControl() const override { return true; }

 private:
  void Changed();
  TShapeType FShape = TShapeType::stRectangle;
  TColor FPenColor = clBlack;
  int FPenWidth = 1;
  TPenStyle FPenStyle = TPenStyle::psSolid;
  TColor FBrushColor = clWhite;
  TBrushStyle FBrushStyle = TBrushStyle::bsSolid;
};

class TPopupMenu;

// An item of a popup menu (a component of the form, listed by its menu).
class TMenuItem : public TComponent {
  TESS_COMPONENT_CLASS(TMenuItem, TComponent)
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;
  const Cp932String& Caption() const { return FCaption; }
  void SetCaption(const Cp932String& caption) { FCaption = caption; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled) { FEnabled = enabled; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool visible) { FVisible = visible; }
  TPopupMenu* Menu() const { return FMenu; }
  // Fires OnClick through the application's general handler.
  void Click();
  TNotifyEvent OnClick;
  void DefineProperties(TFiler& filer) override;

 private:
  friend class TPopupMenu;
  Cp932String FCaption;
  bool FEnabled = true, FVisible = true;
  TPopupMenu* FMenu = nullptr;
  std::string FOnClickName;
};

enum class TMenuAutoHotkeys { maAutomatic, maManual };

class TPopupMenu : public TComponent {
  TESS_COMPONENT_CLASS(TPopupMenu, TComponent)
 public:
  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;
  int Count() const { return static_cast<int>(FItems.size()); }
  TMenuItem* Items(int index) const { return FItems.at(static_cast<std::size_t>(index)); }
  void Add(TMenuItem* item);
  void Remove(TMenuItem* item);
  TMenuAutoHotkeys AutoHotkeys() const { return FAutoHotkeys; }
  void SetAutoHotkeys(TMenuAutoHotkeys v) { FAutoHotkeys = v; }
  // Opens the menu at a screen point and returns when it closes (the chosen item has been clicked).
  void Popup(int x, int y);
  // Stands in for the opened menu (tests): called instead of showing it; it may click an item.
  using TPopupHook = std::function<void(TPopupMenu* menu, TPoint at)>;
  static TPopupHook SetPopupHook(TPopupHook hook);
  TNotifyEvent OnPopup;
  void DefineProperties(TFiler& filer) override;

 private:
  friend class TMenuItem;
  std::vector<TMenuItem*> FItems;
  TMenuAutoHotkeys FAutoHotkeys = TMenuAutoHotkeys::maAutomatic;
  std::string FOnPopupName;
};

}  // namespace tess

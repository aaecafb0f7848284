#pragma once
// A flat toolbar button showing a standard glyph or an image, with a caption and a hint.

#include <string_view>

#include "platform/ui/Controls.h"

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

// A flat toolbar button with a glyph, caption and hint. A disabled button shows its glyph greyed. With
// TabStop the keyboard reaches it: Tab brings the focus to it (a click does not take the focus), and Space
// or Enter presses it.
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
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool stop);
  // Whether the button holds the keyboard focus in its window.
  bool Focused() const;
  // A focused button that is disabled gives the focus to its form's active control.
  void SetEnabled(bool enabled) override;
  // Runs OnClick when the button is enabled. A button that had the focus has it again once its action is
  // done, also when the action disabled it for a while, so that the next key presses it again.
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
  bool FTabStop = false;
};

}  // namespace tess

#pragma once
// A shape control: a rectangle, square, rounded rectangle, ellipse or circle.

#include "platform/gfx/Canvas.h"
#include "platform/ui/Controls.h"

namespace tess {

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

}  // namespace tess

#include "platform/ui/Shape.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>

#include "platform/components/StoredEnum.h"
#include "platform/ui/internal/Widgets.h"

namespace tess {
namespace {

class ShapeWidget : public QWidget {
 public:
  explicit ShapeWidget(TShape* shape) : FShapeControl(shape) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const TShape& s = *FShapeControl;
    // The outline sits inside the bounds: half the pen width in from the edges, as GDI draws shapes.
    int penWidth = s.PenWidth();
    int x = penWidth / 2, y = x;
    int w = width() - penWidth + 1, h = height() - penWidth + 1;
    if (penWidth == 0) {
      --w;
      --h;
    }
    if (s.Shape() == TShapeType::stSquare || s.Shape() == TShapeType::stCircle) {
      int side = std::min(w, h);
      x += (w - side) / 2;
      y += (h - side) / 2;
      w = h = side;
    }
    bool pen = s.PenStyle() != TPenStyle::psClear;
    bool brush = s.BrushStyle() != TBrushStyle::bsClear;
    QRect r(x, y, w, h);  // GDI's right and bottom edges are exclusive
    if (brush) {
      p.setPen(Qt::NoPen);
      p.setBrush(ToQColor(s.BrushColor()));
      if (s.Shape() == TShapeType::stEllipse || s.Shape() == TShapeType::stCircle) {
        p.setRenderHint(QPainter::Antialiasing);
        p.drawEllipse(r);
      } else {
        p.fillRect(r, ToQColor(s.BrushColor()));
      }
    }
    if (pen) {
      int pw = std::max(1, penWidth);
      QPen qpen(ToQColor(s.PenColor()), pw);
      qpen.setJoinStyle(Qt::MiterJoin);
      p.setPen(qpen);
      p.setBrush(Qt::NoBrush);
      // The pen's centre line, so that a pen of width pw covers exactly pw pixels inside r.
      QRectF outline(r.left() + pw / 2.0, r.top() + pw / 2.0, r.width() - pw, r.height() - pw);
      if (s.Shape() == TShapeType::stEllipse || s.Shape() == TShapeType::stCircle) {
        p.setRenderHint(QPainter::Antialiasing);
        p.drawEllipse(outline);
      } else {
        p.drawRect(outline);
      }
    }
  }

 private:
  TShape* FShapeControl;
};

}  // namespace

TShape::TShape(TComponent* owner) : TControl(owner) {
  auto* w = new ShapeWidget(this);
  w->setAttribute(Qt::WA_TransparentForMouseEvents);
  TControlAccess::Attach(*this, w);
}

void TShape::Changed() {
  Invalidate();
}
void TShape::SetShape(TShapeType shape) {
  FShape = shape;
  Changed();
}
void TShape::SetPenColor(TColor color) {
  FPenColor = color;
  Changed();
}
void TShape::SetPenWidth(int width) {
  FPenWidth = std::max(0, width);
  Changed();
}
void TShape::SetPenStyle(TPenStyle style) {
  FPenStyle = style;
  Changed();
}
void TShape::SetBrushColor(TColor color) {
  FBrushColor = color;
  Changed();
}
void TShape::SetBrushStyle(TBrushStyle style) {
  FBrushStyle = style;
  Changed();
}

void TShape::DefineProperties(TFiler& filer) {
  TControl::DefineProperties(filer);
  DefineEnumProperty<TShapeType>(
      filer, "Shape",
      {{TShapeType::stRectangle, "stRectangle"},
       {TShapeType::stSquare, "stSquare"},
       {TShapeType::stRoundRect, "stRoundRect"},
       {TShapeType::stEllipse, "stEllipse"},
       {TShapeType::stCircle, "stCircle"}},
      [this] { return FShape; }, [this](TShapeType s) { SetShape(s); }, FShape != TShapeType::stRectangle);
  filer.Integer(
      "Pen.Color", [this] { return static_cast<int>(FPenColor); }, [this](int v) { SetPenColor(v); },
      FPenColor != clBlack);
  filer.Integer(
      "Pen.Width", [this] { return FPenWidth; }, [this](int v) { SetPenWidth(v); }, FPenWidth != 1);
  DefineEnumProperty<TPenStyle>(
      filer, "Pen.Style", {{TPenStyle::psSolid, "psSolid"}, {TPenStyle::psClear, "psClear"}},
      [this] { return FPenStyle; }, [this](TPenStyle s) { SetPenStyle(s); }, FPenStyle != TPenStyle::psSolid);
  filer.Integer(
      "Brush.Color", [this] { return static_cast<int>(FBrushColor); }, [this](int v) { SetBrushColor(v); },
      FBrushColor != clWhite);
  DefineEnumProperty<TBrushStyle>(
      filer, "Brush.Style", {{TBrushStyle::bsSolid, "bsSolid"}, {TBrushStyle::bsClear, "bsClear"}},
      [this] { return FBrushStyle; }, [this](TBrushStyle s) { SetBrushStyle(s); },
      FBrushStyle != TBrushStyle::bsSolid);
}

}  // namespace tess

#include "platform/ui/Bevel.h"

#include <QPainter>
#include <QWidget>

#include <utility>

#include "platform/components/StoredEnum.h"
#include "platform/ui/internal/Widgets.h"

namespace tess {
namespace {

class BevelWidget : public QWidget {
 public:
  TBevelShape shape = TBevelShape::bsBox;
  TBevelStyle style = TBevelStyle::bsLowered;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    QColor c1 = ToQColor(clBtnShadow), c2 = ToQColor(clBtnHighlight);
    if (style == TBevelStyle::bsRaised) std::swap(c1, c2);
    int w = width(), h = height();
    auto rectLines = [&](QRect r) {
      p.setPen(c1);
      p.drawLine(r.left(), r.top(), r.right(), r.top());
      p.drawLine(r.left(), r.top(), r.left(), r.bottom());
      p.setPen(c2);
      p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
      p.drawLine(r.right(), r.top(), r.right(), r.bottom());
    };
    switch (shape) {
      case TBevelShape::bsBox:
        rectLines(QRect(0, 0, w, h));
        break;
      case TBevelShape::bsFrame: {
        p.setPen(c1);
        p.drawRect(0, 0, w - 2, h - 2);
        p.setPen(c2);
        p.drawRect(1, 1, w - 2, h - 2);
        break;
      }
      case TBevelShape::bsTopLine:
        p.setPen(c1);
        p.drawLine(0, 0, w, 0);
        p.setPen(c2);
        p.drawLine(0, 1, w, 1);
        break;
      case TBevelShape::bsBottomLine:
        p.setPen(c1);
        p.drawLine(0, h - 2, w, h - 2);
        p.setPen(c2);
        p.drawLine(0, h - 1, w, h - 1);
        break;
      case TBevelShape::bsLeftLine:
        p.setPen(c1);
        p.drawLine(0, 0, 0, h);
        p.setPen(c2);
        p.drawLine(1, 0, 1, h);
        break;
      case TBevelShape::bsRightLine:
        p.setPen(c1);
        p.drawLine(w - 2, 0, w - 2, h);
        p.setPen(c2);
        p.drawLine(w - 1, 0, w - 1, h);
        break;
      default:
        break;
    }
  }
};

}  // namespace

TBevel::TBevel(TComponent* owner) : TControl(owner) {
  auto* w = new BevelWidget;
  w->setAttribute(Qt::WA_TransparentForMouseEvents);
  TControlAccess::Attach(*this, w);
}

void TBevel::SetShape(TBevelShape shape) {
  FShape = shape;
  auto* w = static_cast<BevelWidget*>(WidgetOf(this));
  w->shape = shape;
  w->update();
}

void TBevel::SetStyle(TBevelStyle style) {
  FStyle = style;
  auto* w = static_cast<BevelWidget*>(WidgetOf(this));
  w->style = style;
  w->update();
}

void TBevel::DefineProperties(TFiler& filer) {
  TControl::DefineProperties(filer);
  DefineEnumProperty<TBevelShape>(
      filer, "Shape",
      {{TBevelShape::bsBox, "bsBox"},
       {TBevelShape::bsFrame, "bsFrame"},
       {TBevelShape::bsTopLine, "bsTopLine"},
       {TBevelShape::bsBottomLine, "bsBottomLine"},
       {TBevelShape::bsLeftLine, "bsLeftLine"},
       {TBevelShape::bsRightLine, "bsRightLine"},
       {TBevelShape::bsSpacer, "bsSpacer"}},
      [this] { return FShape; }, [this](TBevelShape s) { SetShape(s); }, FShape != TBevelShape::bsBox);
  DefineEnumProperty<TBevelStyle>(
      filer, "Style", {{TBevelStyle::bsLowered, "bsLowered"}, {TBevelStyle::bsRaised, "bsRaised"}},
      [this] { return FStyle; }, [this](TBevelStyle s) { SetStyle(s); }, FStyle != TBevelStyle::bsLowered);
}

}  // namespace tess

#include "platform/ui/SpeedButton.h"

#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QToolButton>

#include "platform/components/StoredEnum.h"
#include "platform/ui/Forms.h"
#include "platform/ui/internal/Widgets.h"

namespace tess {
namespace {

// A tool button that Enter presses as Space does.
class SpeedButtonWidget : public QToolButton {
 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
      click();
      event->accept();
      return;
    }
    QToolButton::keyPressEvent(event);
  }
};

void DrawPage(QPainter& p, QRectF r) {
  p.setPen(QPen(QColor(60, 60, 60), 1));
  p.setBrush(Qt::white);
  p.drawRect(r);
}

void DrawTriangle(QPainter& p, double x, double y, double w, double h, bool left) {
  QPainterPath path;
  if (left) {
    path.moveTo(x + w, y);
    path.lineTo(x, y + h / 2);
    path.lineTo(x + w, y + h);
  } else {
    path.moveTo(x, y);
    path.lineTo(x + w, y + h / 2);
    path.lineTo(x, y + h);
  }
  path.closeSubpath();
  p.fillPath(path, QColor(0, 0, 128));
}

void DrawMagnifier(QPainter& p, bool plus) {
  p.setPen(QPen(QColor(40, 40, 40), 2));
  p.setBrush(QColor(220, 235, 255));
  p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
  p.drawLine(QPointF(12, 12), QPointF(18, 18));
  p.setPen(QPen(QColor(0, 0, 128), 2));
  p.drawLine(QPointF(5, 8), QPointF(11, 8));
  if (plus) p.drawLine(QPointF(8, 5), QPointF(8, 11));
}

QPixmap GlyphPixmap(TStandardGlyph glyph) {
  QPixmap pixmap(20, 20);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  switch (glyph) {
    case TStandardGlyph::sgPrint:
    case TStandardGlyph::sgPrinterSetup:
      DrawPage(p, QRectF(5.5, 1.5, 9, 7));
      p.setPen(QPen(QColor(40, 40, 40), 1));
      p.setBrush(QColor(190, 190, 190));
      p.drawRoundedRect(QRectF(1.5, 8.5, 17, 7), 1.5, 1.5);
      DrawPage(p, QRectF(5.5, 13.5, 9, 5));
      if (glyph == TStandardGlyph::sgPrinterSetup) {
        p.setPen(QPen(QColor(0, 110, 0), 2));
        p.drawLine(QPointF(14, 3), QPointF(18, 7));
      }
      break;
    case TStandardGlyph::sgFirstPage:
      p.fillRect(QRectF(3, 4, 2, 12), QColor(0, 0, 128));
      DrawTriangle(p, 6, 4, 9, 12, true);
      break;
    case TStandardGlyph::sgPriorPage:
      DrawTriangle(p, 5, 4, 9, 12, true);
      break;
    case TStandardGlyph::sgNextPage:
      DrawTriangle(p, 6, 4, 9, 12, false);
      break;
    case TStandardGlyph::sgLastPage:
      DrawTriangle(p, 5, 4, 9, 12, false);
      p.fillRect(QRectF(15, 4, 2, 12), QColor(0, 0, 128));
      break;
    case TStandardGlyph::sgZoomOut:
      DrawMagnifier(p, false);
      break;
    case TStandardGlyph::sgZoomIn:
      DrawMagnifier(p, true);
      break;
    case TStandardGlyph::sgPageWhole:
      DrawPage(p, QRectF(5.5, 1.5, 9, 17));
      p.setPen(QPen(QColor(120, 120, 120), 1));
      for (int y = 5; y <= 15; y += 3) p.drawLine(QPointF(7.5, y + 0.5), QPointF(12.5, y + 0.5));
      break;
    case TStandardGlyph::sgPageWidth:
      DrawPage(p, QRectF(1.5, 3.5, 17, 13));
      p.setPen(QPen(QColor(0, 0, 128), 1.5));
      p.drawLine(QPointF(4, 10), QPointF(16, 10));
      DrawTriangle(p, 3, 7, 3, 6, true);
      DrawTriangle(p, 14, 7, 3, 6, false);
      break;
    case TStandardGlyph::sgClose:
      p.setPen(QPen(QColor(40, 40, 40), 1));
      p.setBrush(QColor(150, 100, 60));
      p.drawRect(QRectF(4.5, 1.5, 11, 17));
      p.setBrush(QColor(230, 200, 60));
      p.drawEllipse(QRectF(12, 9, 2.5, 2.5));
      break;
    default:
      break;
  }
  return pixmap;
}

const TEnumNames<TStandardGlyph> kGlyphNames = {{TStandardGlyph::sgNone, "sgNone"},
                                                {TStandardGlyph::sgPrint, "sgPrint"},
                                                {TStandardGlyph::sgPrinterSetup, "sgPrinterSetup"},
                                                {TStandardGlyph::sgFirstPage, "sgFirstPage"},
                                                {TStandardGlyph::sgPriorPage, "sgPriorPage"},
                                                {TStandardGlyph::sgNextPage, "sgNextPage"},
                                                {TStandardGlyph::sgLastPage, "sgLastPage"},
                                                {TStandardGlyph::sgZoomOut, "sgZoomOut"},
                                                {TStandardGlyph::sgZoomIn, "sgZoomIn"},
                                                {TStandardGlyph::sgPageWhole, "sgPageWhole"},
                                                {TStandardGlyph::sgPageWidth, "sgPageWidth"},
                                                {TStandardGlyph::sgClose, "sgClose"}};

}  // namespace

TSpeedButton::TSpeedButton(TComponent* owner) : TControl(owner) {
  auto* w = new SpeedButtonWidget;
  w->setFocusPolicy(Qt::NoFocus);
  w->setIconSize(QSize(20, 20));
  QObject::connect(w, &QToolButton::clicked, w, [this] { Click(); });
  TControlAccess::Attach(*this, w);
  UpdateIcon();
}

void TSpeedButton::SetGlyph(TStandardGlyph glyph) {
  FGlyph = glyph;
  auto* w = static_cast<QToolButton*>(WidgetOf(this));
  w->setIcon(glyph == TStandardGlyph::sgNone ? QIcon() : QIcon(GlyphPixmap(glyph)));
  UpdateIcon();
}

void TSpeedButton::SetGlyphImage(std::string_view imageBytes) {
  QImage image;
  image.loadFromData(reinterpret_cast<const uchar*>(imageBytes.data()), static_cast<int>(imageBytes.size()));
  auto* w = static_cast<QToolButton*>(WidgetOf(this));
  w->setIcon(image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image)));
  UpdateIcon();
}

void TSpeedButton::SetLayout(TButtonLayout layout) {
  FLayout = layout;
  UpdateIcon();
}

void TSpeedButton::SetFlat(bool flat) {
  FFlat = flat;
  static_cast<QToolButton*>(WidgetOf(this))->setAutoRaise(flat);
}

void TSpeedButton::UpdateIcon() {
  auto* w = static_cast<QToolButton*>(WidgetOf(this));
  bool hasIcon = !w->icon().isNull();
  bool hasText = !Caption().IsEmpty();
  if (hasIcon && hasText) {
    w->setToolButtonStyle(FLayout == TButtonLayout::blGlyphTop || FLayout == TButtonLayout::blGlyphBottom
                              ? Qt::ToolButtonTextUnderIcon
                              : Qt::ToolButtonTextBesideIcon);
  } else {
    w->setToolButtonStyle(hasIcon ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextOnly);
  }
}

void TSpeedButton::CaptionChanged() {
  static_cast<QToolButton*>(WidgetOf(this))->setText(ToQString(Caption()));
  UpdateIcon();
}

void TSpeedButton::SetTabStop(bool stop) {
  FTabStop = stop;
  WidgetOf(this)->setFocusPolicy(stop ? Qt::TabFocus : Qt::NoFocus);
}

bool TSpeedButton::Focused() const {
  QWidget* w = WidgetOf(this);
  return w->window()->focusWidget() == w;
}

void TSpeedButton::SetEnabled(bool enabled) {
  const bool focused = !enabled && Focused();
  TControl::SetEnabled(enabled);
  if (!focused) return;
  // The toolkit sends the focus on to the next button; the form's active control takes it instead, so
  // that pressing the same key again presses nothing.
  TForm* form = ParentFormOf(this);
  TWinControl* active = form != nullptr ? form->ActiveControl() : nullptr;
  if (active != nullptr && active->Showing() && active->Enabled()) active->SetFocus();
}

void TSpeedButton::Click() {
  if (!Enabled()) return;
  QPointer<QWidget> w = WidgetOf(this);
  const bool focused = Focused();
  TControl::Click();
  // The action may have closed the window and freed the button with it.
  if (focused && w != nullptr && Enabled() && w->isVisible() && !Focused()) w->setFocus(Qt::TabFocusReason);
}

void TSpeedButton::DefineProperties(TFiler& filer) {
  TControl::DefineProperties(filer);
  DefineCaptionProperty(filer);
  DefineEnumProperty<TStandardGlyph>(
      filer, "Glyph", kGlyphNames, [this] { return FGlyph; }, [this](TStandardGlyph g) { SetGlyph(g); },
      FGlyph != TStandardGlyph::sgNone);
  DefineEnumProperty<TButtonLayout>(
      filer, "Layout",
      {{TButtonLayout::blGlyphLeft, "blGlyphLeft"},
       {TButtonLayout::blGlyphRight, "blGlyphRight"},
       {TButtonLayout::blGlyphTop, "blGlyphTop"},
       {TButtonLayout::blGlyphBottom, "blGlyphBottom"}},
      [this] { return FLayout; }, [this](TButtonLayout l) { SetLayout(l); },
      FLayout != TButtonLayout::blGlyphLeft);
  filer.Boolean(
      "Flat", [this] { return FFlat; }, [this](bool v) { SetFlat(v); }, FFlat);
  filer.Integer(
      "NumGlyphs", [this] { return FNumGlyphs; }, [this](int v) { SetNumGlyphs(v); }, FNumGlyphs != 1);
  filer.Boolean(
      "TabStop", [this] { return FTabStop; }, [this](bool v) { SetTabStop(v); }, FTabStop);
}

}  // namespace tess

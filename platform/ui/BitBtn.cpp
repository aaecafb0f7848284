#include "platform/ui/BitBtn.h"

#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

#include "platform/components/StoredEnum.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/internal/Widgets.h"

namespace tess {

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner) {}

namespace {

// The glyph of a kind, drawn here in a 16-unit square at one and two device pixels per unit rather than
// looked up in the desktop's icon theme: reading a theme's index costs more than the rest of the dialog's
// controls together, before the first button can be shown. None for the kinds without a glyph.
QIcon BitBtnGlyph(TBitBtnKind kind) {
  QColor color;
  switch (kind) {
    case TBitBtnKind::bkOK:
    case TBitBtnKind::bkYes:
      color = QColor(0, 128, 0);
      break;
    case TBitBtnKind::bkCancel:
    case TBitBtnKind::bkNo:
      color = QColor(192, 0, 0);
      break;
    case TBitBtnKind::bkHelp:
      color = QColor(0, 0, 160);
      break;
    case TBitBtnKind::bkClose:
      color = QColor(48, 48, 48);
      break;
    default:
      return QIcon();
  }
  QIcon icon;
  for (int scale : {1, 2}) {
    QPixmap pixmap(16 * scale, 16 * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(color, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    switch (kind) {
      case TBitBtnKind::bkOK:
      case TBitBtnKind::bkYes: {
        const QPointF tick[] = {{3, 8.5}, {6.5, 12}, {13, 4.5}};
        p.drawPolyline(tick, 3);
        break;
      }
      case TBitBtnKind::bkHelp: {
        QPainterPath mark;  // a question mark: a hook over a dot
        mark.moveTo(5, 6);
        mark.cubicTo(5, 2.5, 11, 2.5, 11, 5.5);
        mark.cubicTo(11, 8, 8, 8, 8, 10.5);
        p.drawPath(mark);
        p.setBrush(color);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(8, 13.5), 1.3, 1.3);
        break;
      }
      default:  // a cross: cancel, no and close
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
        break;
    }
    p.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace

void TBitBtn::SetKind(TBitBtnKind kind) {
  FKind = kind;
  auto* w = static_cast<QPushButton*>(WidgetOf(this));
  w->setIcon(BitBtnGlyph(kind));
  if (!w->icon().isNull()) w->setIconSize(QSize(16, 16));
  if (kind == TBitBtnKind::bkCancel || kind == TBitBtnKind::bkClose) SetCancel(true);
  if (kind == TBitBtnKind::bkOK) SetModalResult(mrOk);
  if (kind == TBitBtnKind::bkCancel) SetModalResult(mrCancel);
}

bool TBitBtn::HasGlyph() const {
  return !static_cast<QPushButton*>(WidgetOf(this))->icon().isNull();
}

void TBitBtn::Click() {
  if (FKind == TBitBtnKind::bkClose) {
    if (TForm* form = ParentFormOf(this)) {
      Application().RunHandler(this, [form] { form->Close(); });
      return;
    }
  }
  TButton::Click();
}

void TBitBtn::DefineProperties(TFiler& filer) {
  TButton::DefineProperties(filer);
  DefineEnumProperty<TBitBtnKind>(
      filer, "Kind",
      {{TBitBtnKind::bkCustom, "bkCustom"},
       {TBitBtnKind::bkOK, "bkOK"},
       {TBitBtnKind::bkCancel, "bkCancel"},
       {TBitBtnKind::bkHelp, "bkHelp"},
       {TBitBtnKind::bkYes, "bkYes"},
       {TBitBtnKind::bkNo, "bkNo"},
       {TBitBtnKind::bkClose, "bkClose"},
       {TBitBtnKind::bkAbort, "bkAbort"},
       {TBitBtnKind::bkRetry, "bkRetry"},
       {TBitBtnKind::bkIgnore, "bkIgnore"},
       {TBitBtnKind::bkAll, "bkAll"}},
      [this] { return FKind; }, [this](TBitBtnKind k) { SetKind(k); }, FKind != TBitBtnKind::bkCustom);
}

}  // namespace tess

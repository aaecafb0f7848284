#include "platform/ui/BitBtn.h"

#include <QIcon>
#include <QPushButton>
#include <QStyle>

#include "platform/components/StoredEnum.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/internal/Widgets.h"

namespace tess {

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner) {}

void TBitBtn::SetKind(TBitBtnKind kind) {
  FKind = kind;
  auto* w = static_cast<QPushButton*>(WidgetOf(this));
  QStyle::StandardPixmap pixmap = QStyle::SP_CustomBase;
  switch (kind) {
    case TBitBtnKind::bkClose:
      pixmap = QStyle::SP_DialogCloseButton;
      break;
    case TBitBtnKind::bkOK:
    case TBitBtnKind::bkYes:
      pixmap = QStyle::SP_DialogOkButton;
      break;
    case TBitBtnKind::bkCancel:
    case TBitBtnKind::bkNo:
      pixmap = QStyle::SP_DialogCancelButton;
      break;
    case TBitBtnKind::bkHelp:
      pixmap = QStyle::SP_DialogHelpButton;
      break;
    default:
      break;
  }
  if (pixmap == QStyle::SP_CustomBase) {
    w->setIcon(QIcon());
  } else {
    w->setIcon(w->style()->standardIcon(pixmap, nullptr, w));
    w->setIconSize(QSize(16, 16));
  }
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

#include "platform/ui/Button.h"

#include <QPushButton>

#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/internal/Widgets.h"

namespace tess {

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  auto* w = new QPushButton;
  w->setAutoDefault(false);
  QObject::connect(w, &QPushButton::clicked, w, [this] { Click(); });
  TControlAccess::Attach(*this, w);
}

void TButton::SetDefault(bool v) {
  FDefault = v;
  auto* w = static_cast<QPushButton*>(WidgetOf(this));
  w->setDefault(v);
  w->setAutoDefault(v);
}

void TButton::CaptionChanged() {
  static_cast<QPushButton*>(WidgetOf(this))->setText(ToQString(Caption()));
}

void TButton::Click() {
  Application().RunHandler(this, [this] {
    if (OnClick) OnClick(this);
    if (FModalResult != mrNone) {
      if (TForm* form = ParentFormOf(this)) form->SetModalResult(FModalResult);
    }
  });
}

void TButton::DefineProperties(TFiler& filer) {
  TWinControl::DefineProperties(filer);
  DefineCaptionProperty(filer);
  filer.Boolean(
      "Default", [this] { return FDefault; }, [this](bool v) { SetDefault(v); }, FDefault);
  filer.Boolean(
      "Cancel", [this] { return FCancel; }, [this](bool v) { SetCancel(v); }, FCancel);
  filer.Integer(
      "ModalResult", [this] { return FModalResult; }, [this](int v) { SetModalResult(v); },
      FModalResult != mrNone);
}

}  // namespace tess

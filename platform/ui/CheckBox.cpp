#include "platform/ui/CheckBox.h"

#include <QCheckBox>

#include "platform/ui/Application.h"
#include "platform/ui/internal/Widgets.h"

namespace tess {

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
  auto* w = new QCheckBox;
  // The toolkit has already ticked or cleared the box when it reports the user's click.
  QObject::connect(w, &QCheckBox::clicked, w, [this](bool checked) {
    Application().RunHandler(this, [this, checked] { SetChecked(checked); });
  });
  TControlAccess::Attach(*this, w);
}

void TCheckBox::SetChecked(bool checked) {
  auto* w = static_cast<QCheckBox*>(WidgetOf(this));
  if (w->isChecked() != checked) w->setChecked(checked);
  if (checked == FChecked) return;
  FChecked = checked;
  if (OnClick && !HasState(csReading)) OnClick(this);
}

void TCheckBox::CaptionChanged() {
  static_cast<QCheckBox*>(WidgetOf(this))->setText(ToQString(Caption()));
}

void TCheckBox::DefineProperties(TFiler& filer) {
  TWinControl::DefineProperties(filer);
  DefineCaptionProperty(filer);
  filer.Boolean(
      "Checked", [this] { return FChecked; }, [this](bool v) { SetChecked(v); }, FChecked);
}

}  // namespace tess

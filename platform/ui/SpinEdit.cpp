#include "platform/ui/SpinEdit.h"

#include <QSpinBox>

#include <algorithm>

#include "platform/ui/Application.h"
#include "platform/ui/internal/Widgets.h"

namespace tess {

TSpinEdit::TSpinEdit(TComponent* owner) : TWinControl(owner) {
  auto* w = new QSpinBox;
  w->setRange(FMinValue, FMaxValue);
  w->setValue(FValue);
  // The box has already taken the typed or stepped value when it reports it.
  QObject::connect(w, &QSpinBox::valueChanged, w, [this](int value) {
    if (value != FValue) Application().RunHandler(this, [this, value] { SetValue(value); });
  });
  TControlAccess::Attach(*this, w);
}

void TSpinEdit::SetValue(int value) {
  value = std::clamp(value, FMinValue, FMaxValue);
  auto* w = static_cast<QSpinBox*>(WidgetOf(this));
  if (w->value() != value) w->setValue(value);
  if (value == FValue) return;
  FValue = value;
  if (OnChange && !HasState(csReading)) OnChange(this);
}

void TSpinEdit::SetMinValue(int value) {
  FMinValue = value;
  FMaxValue = std::max(FMaxValue, value);
  ApplyRange();
}

void TSpinEdit::SetMaxValue(int value) {
  FMaxValue = value;
  FMinValue = std::min(FMinValue, value);
  ApplyRange();
}

void TSpinEdit::ApplyRange() {
  static_cast<QSpinBox*>(WidgetOf(this))->setRange(FMinValue, FMaxValue);
  SetValue(FValue);
}

void TSpinEdit::DefineProperties(TFiler& filer) {
  TWinControl::DefineProperties(filer);
  // The range first, so that the stored value is read into it.
  filer.Integer(
      "MinValue", [this] { return FMinValue; }, [this](int v) { SetMinValue(v); }, FMinValue != 0);
  filer.Integer(
      "MaxValue", [this] { return FMaxValue; }, [this](int v) { SetMaxValue(v); }, FMaxValue != 100);
  filer.Integer(
      "Value", [this] { return FValue; }, [this](int v) { SetValue(v); }, FValue != 0);
}

}  // namespace tess

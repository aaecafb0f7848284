#include "platform/ui/ToolBar.h"

#include <QWidget>

#include "platform/ui/SpeedButton.h"
#include "platform/ui/internal/Widgets.h"

namespace tess {

TToolBar::TToolBar(TComponent* owner) : TWinControl(owner) {
  auto* w = new QWidget;
  w->setAutoFillBackground(true);
  TControlAccess::Attach(*this, w);
  SetTabStop(false);
}

void TToolBar::SetButtonHeight(int h) {
  FButtonHeight = h;
  ArrangeButtons();
}

void TToolBar::ArrangeButtons() {
  if (FArranging) return;
  FArranging = true;
  int x = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->Visible()) continue;
    // Buttons on a flat bar are flat themselves.
    if (auto* button = dynamic_cast<TSpeedButton*>(c); button != nullptr && FFlat) button->SetFlat(true);
    c->SetBounds(x, 0, c->Width(), FButtonHeight);
    x += c->Width();
  }
  FArranging = false;
}

void TToolBar::ControlChanged(TControl* /*control*/) {
  ArrangeButtons();
}

void TToolBar::Loaded() {
  TWinControl::Loaded();
  ArrangeButtons();
}

void TToolBar::DefineProperties(TFiler& filer) {
  TWinControl::DefineProperties(filer);
  filer.Integer(
      "ButtonHeight", [this] { return FButtonHeight; }, [this](int v) { SetButtonHeight(v); });
  filer.Boolean(
      "Flat", [this] { return FFlat; }, [this](bool v) { SetFlat(v); }, FFlat);
  filer.Boolean(
      "Wrapable", [this] { return FWrapable; }, [this](bool v) { SetWrapable(v); }, !FWrapable);
}

}  // namespace tess

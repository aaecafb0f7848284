#include "platform/ui/PopupMenu.h"

#include <QAction>
#include <QMenu>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/components/StoredEnum.h"
#include "platform/ui/Application.h"
#include "platform/ui/internal/Widgets.h"

namespace tess {
namespace {

TPopupMenu::TPopupHook& PopupHook() {
  static TPopupMenu::TPopupHook hook;
  return hook;
}

TComponent* FindSibling(const TComponent* c, const Cp932String& name) {
  TComponent* owner = c->Owner();
  return owner ? owner->FindComponent(name.Bytes()) : nullptr;
}

}  // namespace

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
  if (FMenu != nullptr) FMenu->Remove(this);
}

void TMenuItem::Click() {
  if (!FEnabled) return;
  if (OnClick) Application().RunHandler(this, [this] { OnClick(this); });
}

void TMenuItem::DefineProperties(TFiler& filer) {
  filer.String(
      "Menu", [this] { return FMenu ? Cp932String::FromBytes(FMenu->Name()) : Cp932String(); },
      [this](const Cp932String& name) {
        auto* menu = dynamic_cast<TPopupMenu*>(FindSibling(this, name));
        if (menu == nullptr) throw EReadError(Cp932String::FromBytes("Menu " + name.Bytes() + " not found"));
        menu->Add(this);
      },
      FMenu != nullptr);
  filer.String(
      "Caption", [this] { return FCaption; }, [this](const Cp932String& v) { SetCaption(v); },
      !FCaption.IsEmpty());
  filer.Boolean(
      "Enabled", [this] { return FEnabled; }, [this](bool v) { SetEnabled(v); }, !FEnabled);
  filer.Boolean(
      "Visible", [this] { return FVisible; }, [this](bool v) { SetVisible(v); }, !FVisible);
  DefineEvent(filer, "OnClick", this, OnClick, FOnClickName);
}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner) {}

TPopupMenu::~TPopupMenu() {
  for (TMenuItem* item : FItems) item->FMenu = nullptr;
}

void TPopupMenu::Add(TMenuItem* item) {
  if (item->FMenu == this) return;
  if (item->FMenu != nullptr) item->FMenu->Remove(item);
  FItems.push_back(item);
  item->FMenu = this;
}

void TPopupMenu::Remove(TMenuItem* item) {
  FItems.erase(std::remove(FItems.begin(), FItems.end(), item), FItems.end());
  if (item->FMenu == this) item->FMenu = nullptr;
}

TPopupMenu::TPopupHook TPopupMenu::SetPopupHook(TPopupHook hook) {
  std::swap(hook, PopupHook());
  return hook;
}

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) Application().RunHandler(this, [this] { OnPopup(this); });
  if (PopupHook()) {
    PopupHook()(this, TPoint{x, y});
    return;
  }
  QMenu menu;
  std::vector<std::pair<QAction*, TMenuItem*>> actions;
  for (TMenuItem* item : FItems) {
    if (!item->Visible()) continue;
    QString caption = ToQString(item->Caption());
    QAction* action = caption == QStringLiteral("-") ? menu.addSeparator() : menu.addAction(caption);
    action->setEnabled(item->Enabled());
    actions.emplace_back(action, item);
  }
  QAction* chosen = menu.exec(QPoint(x, y));
  for (auto& [action, item] : actions) {
    if (action == chosen) item->Click();
  }
}

void TPopupMenu::DefineProperties(TFiler& filer) {
  DefineEnumProperty<TMenuAutoHotkeys>(
      filer, "AutoHotkeys",
      {{TMenuAutoHotkeys::maAutomatic, "maAutomatic"}, {TMenuAutoHotkeys::maManual, "maManual"}},
      [this] { return FAutoHotkeys; }, [this](TMenuAutoHotkeys v) { SetAutoHotkeys(v); },
      FAutoHotkeys != TMenuAutoHotkeys::maAutomatic);
  DefineEvent(filer, "OnPopup", this, OnPopup, FOnPopupName);
}

}  // namespace tess

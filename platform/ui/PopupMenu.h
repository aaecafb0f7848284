#pragma once
// Popup menus and their items.

#include <functional>
#include <string>
#include <vector>

#include "platform/components/Component.h"
#include "platform/components/Events.h"
#include "platform/core/Cp932String.h"
#include "platform/gfx/Canvas.h"

namespace tess {

class TPopupMenu;

// An item of a popup menu (a component of the form, listed by its menu).
class TMenuItem : public TComponent {
  TESS_COMPONENT_CLASS(TMenuItem, TComponent)
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;
  const Cp932String& Caption() const { return FCaption; }
  void SetCaption(const Cp932String& caption) { FCaption = caption; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled) { FEnabled = enabled; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool visible) { FVisible = visible; }
  TPopupMenu* Menu() const { return FMenu; }
  // Fires OnClick through the application's general handler.
  void Click();
  TNotifyEvent OnClick;
  void DefineProperties(TFiler& filer) override;

 private:
  friend class TPopupMenu;
  Cp932String FCaption;
  bool FEnabled = true, FVisible = true;
  TPopupMenu* FMenu = nullptr;
  std::string FOnClickName;
};

enum class TMenuAutoHotkeys { maAutomatic, maManual };

class TPopupMenu : public TComponent {
  TESS_COMPONENT_CLASS(TPopupMenu, TComponent)
 public:
  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;
  int Count() const { return static_cast<int>(FItems.size()); }
  TMenuItem* Items(int index) const { return FItems.at(static_cast<std::size_t>(index)); }
  void Add(TMenuItem* item);
  void Remove(TMenuItem* item);
  TMenuAutoHotkeys AutoHotkeys() const { return FAutoHotkeys; }
  void SetAutoHotkeys(TMenuAutoHotkeys v) { FAutoHotkeys = v; }
  // Opens the menu at a screen point and returns when it closes (the chosen item has been clicked).
  void Popup(int x, int y);
  // Stands in for the opened menu (tests): called instead of showing it; it may click an item.
  using TPopupHook = std::function<void(TPopupMenu* menu, TPoint at)>;
  static TPopupHook SetPopupHook(TPopupHook hook);
  TNotifyEvent OnPopup;
  void DefineProperties(TFiler& filer) override;

 private:
  friend class TMenuItem;
  std::vector<TMenuItem*> FItems;
  TMenuAutoHotkeys FAutoHotkeys = TMenuAutoHotkeys::maAutomatic;
  std::string FOnPopupName;
};

}  // namespace tess

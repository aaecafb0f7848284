#pragma once
// A captioned group of radio buttons.

#include <vector>

#include "platform/core/Cp932String.h"
#include "platform/ui/Controls.h"

namespace tess {

// A captioned frame of radio buttons laid out in columns, top to bottom then left to right. Changing the
// item index (by the user or the program, but not while the design is read) fires OnClick.
class TRadioGroup : public TWinControl {
  TESS_COMPONENT_CLASS(TRadioGroup, TWinControl)
 public:
  explicit TRadioGroup(TComponent* owner);
  const std::vector<Cp932String>& Items() const { return FItems; }
  void SetItems(const std::vector<Cp932String>& items);
  int Columns() const { return FColumns; }
  void SetColumns(int columns);
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int index);
  // The user's click on item `index` (the radio button's own click).
  void ClickItem(int index);
  // The place of an item's radio button inside the group (for tests and layout checks).
  TRect ItemBounds(int index) const;
  void DefineProperties(TFiler& filer) override;
  void Loaded() override;

 protected:
  void CaptionChanged() override;
  void BoundsChanged() override;
  void FontChanged() override;

 private:
  void RebuildButtons();
  void ArrangeButtons();
  void UpdateButtonFocus();
  std::vector<Cp932String> FItems;
  int FColumns = 1;
  int FItemIndex = -1;
};

}  // namespace tess

#pragma once
// A number box with up and down arrows: a whole number from MinValue to MaxValue, typed or stepped by one.

#include "platform/components/Events.h"
#include "platform/ui/Controls.h"

namespace tess {

// Value always lies within MinValue..MaxValue: the box takes no other typing, and a value the program sets
// outside the range is brought to its nearer end. Changing Value (by the user or the program, but not while
// the design is read) fires OnChange.
class TSpinEdit : public TWinControl {
  TESS_COMPONENT_CLASS(TSpinEdit, TWinControl)
 public:
  explicit TSpinEdit(TComponent* owner);
  int Value() const { return FValue; }
  void SetValue(int value);
  int MinValue() const { return FMinValue; }
  void SetMinValue(int value);
  int MaxValue() const { return FMaxValue; }
  void SetMaxValue(int value);
  TNotifyEvent OnChange;
  void DefineProperties(TFiler& filer) override;

 private:
  void ApplyRange();
  int FValue = 0;
  int FMinValue = 0;
  int FMaxValue = 100;
};

}  // namespace tess

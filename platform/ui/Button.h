#pragma once
// A push button.

#include "platform/ui/Controls.h"

namespace tess {

class TButton : public TWinControl {
  TESS_COMPONENT_CLASS(TButton, TWinControl)
 public:
  explicit TButton(TComponent* owner);
  bool Default() const { return FDefault; }
  void SetDefault(bool v);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool v) { FCancel = v; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult r) { FModalResult = r; }
  // A click: OnClick, then the modal result goes to the form.
  void Click() override;
  void DefineProperties(TFiler& filer) override;

 protected:
  void CaptionChanged() override;

 private:
  bool FDefault = false, FCancel = false;
  TModalResult FModalResult = mrNone;
};

}  // namespace tess

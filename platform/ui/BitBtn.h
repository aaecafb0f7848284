#pragma once
// A push button with a standard glyph.

#include "platform/ui/Button.h"

namespace tess {

enum class TBitBtnKind {
  bkCustom,
  bkOK,
  bkCancel,
  bkHelp,
  bkYes,
  bkNo,
  bkClose,
  bkAbort,
  bkRetry,
  bkIgnore,
  bkAll
};

// A button with a glyph. Kind bkClose shows the standard close glyph and closes its form when clicked.
class TBitBtn : public TButton {
  TESS_COMPONENT_CLASS(TBitBtn, TButton)
 public:
  explicit TBitBtn(TComponent* owner);
  TBitBtnKind Kind() const { return FKind; }
  void SetKind(TBitBtnKind kind);
  bool HasGlyph() const;
  void Click() override;
  void DefineProperties(TFiler& filer) override;

 private:
  TBitBtnKind FKind = TBitBtnKind::bkCustom;
};

}  // namespace tess

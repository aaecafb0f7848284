#pragma once
// A one-line edit box.

#include <string>

#include "platform/core/Cp932String.h"
#include "platform/ui/Controls.h"

namespace tess {

// An edit box. MaxLength limits what the user can type or paste, counted in code page 932 bytes (a
// full-width character counts 2); texts the program assigns are kept whole even when longer.
class TEdit : public TWinControl {
  TESS_COMPONENT_CLASS(TEdit, TWinControl)
 public:
  explicit TEdit(TComponent* owner);
  Cp932String Text() const;
  void SetText(const Cp932String& text);
  int MaxLength() const { return FMaxLength; }  // 0 = no limit
  void SetMaxLength(int bytes) { FMaxLength = bytes < 0 ? 0 : bytes; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool readOnly);
  // Inserts text at the caret as typing would (replacing the selection), subject to MaxLength.
  void TypeText(const Cp932String& text);
  TNotifyEvent OnChange;
  void DefineProperties(TFiler& filer) override;

 protected:
  void ColorChanged() override;

 private:
  friend struct TEditAccess;
  int FMaxLength = 0;
  bool FReadOnly = false;
  std::string FOnChangeName;
};

}  // namespace tess

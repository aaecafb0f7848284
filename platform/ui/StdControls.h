#pragma once
// The dialog controls: label, edit box with a typing limit counted in code page 932 bytes, radio group,
// check box, push button, button with a standard glyph, bevel frame.

#include <vector>

#include "platform/ui/Controls.h"

namespace tess {

class TLabel : public TControl {
  TESS_COMPONENT_CLASS(TLabel, TControl)
 public:
  explicit TLabel(TComponent* owner);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool wrap);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool autoSize) { FAutoSize = autoSize; }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool t);
  void DefineProperties(TFiler& filer) override;
  bool IsGraphicControl() const override { return true; }

 protected:
  void CaptionChanged() override;
  void ColorChanged() override;

 private:
  bool FWordWrap = false, FAutoSize = true, FTransparent = false;
};

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

// A check box with its caption. Changing Checked (by the user or the program, but not while the design
// is read) fires OnClick.
class TCheckBox : public TWinControl {
  TESS_COMPONENT_CLASS(TCheckBox, TWinControl)
 public:
  explicit TCheckBox(TComponent* owner);
  bool Checked() const { return FChecked; }
  void SetChecked(bool checked);
  void DefineProperties(TFiler& filer) override;

 protected:
  void CaptionChanged() override;

 private:
  bool FChecked = false;
};

enum class TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum class TBevelStyle { bsLowered, bsRaised };

class TBevel : public TControl {
  TESS_COMPONENT_CLASS(TBevel, TControl)
 public:
  explicit TBevel(TComponent* owner);
  TBevelShape Shape() const { return FShape; }
  void SetShape(TBevelShape shape);
  TBevelStyle Style() const { return FStyle; }
  void SetStyle(TBevelStyle style);
  void DefineProperties(TFiler& filer) override;
  bool IsGraphicControl() const override { return true; }

 private:
  TBevelShape FShape = TBevelShape::bsBox;
  TBevelStyle FStyle = TBevelStyle::bsLowered;
};

}  // namespace tess

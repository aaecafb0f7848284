#include "platform/ui/Edit.h"

#include <QLineEdit>
#include <QValidator>

#include <cstdint>

#include "platform/ui/Application.h"
#include "platform/ui/internal/Widgets.h"

namespace tess {
namespace {

std::size_t Cp932Bytes(const QString& text) {
  return FromQString(text).Length();
}

// The typing limit of an edit box, in code page 932 bytes, and the characters it can hold. It sees only
// what the user types or pastes (assigned texts are not validated): an insertion loses the characters code
// page 932 has no code for, and is trimmed to the whole characters that still fit.
class ByteLimitValidator : public QValidator {
 public:
  ByteLimitValidator(TEdit* edit, QObject* parent) : QValidator(parent), FEdit(edit) {}
  QString before;          // the text before the edit being validated
  bool assigning = false;  // the program sets the text: no limit

  State validate(QString& input, int& pos) const override {
    if (assigning) return Acceptable;
    // The inserted part: what lies between the common beginning and the common end of the two texts
    // (never splitting a surrogate pair).
    qsizetype prefix = 0;
    while (prefix < before.size() && prefix < input.size() && before[prefix] == input[prefix]) ++prefix;
    if (prefix > 0 && input[prefix - 1].isHighSurrogate()) --prefix;
    qsizetype suffix = 0;
    while (suffix < before.size() - prefix && suffix < input.size() - prefix &&
           before[before.size() - 1 - suffix] == input[input.size() - 1 - suffix]) {
      ++suffix;
    }
    if (suffix > 0 && input[input.size() - suffix].isLowSurrogate()) --suffix;
    const QString inserted = input.mid(prefix, input.size() - prefix - suffix);
    // Room for the inserted characters within the limit; a text already longer may still be shortened.
    std::size_t room = SIZE_MAX;
    const std::size_t limit = static_cast<std::size_t>(FEdit->MaxLength());
    if (limit != 0) {
      const std::size_t now = Cp932Bytes(input);
      if (now > limit && now > Cp932Bytes(before)) {
        const std::size_t rest = now - Cp932Bytes(inserted);
        if (rest >= limit) return Invalid;
        room = limit - rest;
      }
    }
    // Characters without a code in code page 932 cannot be entered: the text would hold '?' instead.
    QString kept;
    std::size_t used = 0;
    for (qsizetype i = 0; i < inserted.size();) {
      const qsizetype len = inserted[i].isHighSurrogate() && i + 1 < inserted.size() ? 2 : 1;
      const QString ch = inserted.mid(i, len);
      i += len;
      if (!Cp932HasCode(ch.toUcs4().value(0))) continue;
      const std::size_t bytes = Cp932Bytes(ch);
      if (used + bytes > room) break;
      kept += ch;
      used += bytes;
    }
    if (kept == inserted) return Acceptable;
    if (kept.isEmpty()) return Invalid;
    input = input.left(prefix) + kept + input.right(suffix);
    pos = static_cast<int>(prefix + kept.size());
    return Acceptable;
  }

 private:
  TEdit* FEdit;
};

}  // namespace

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
  auto* w = new QLineEdit;
  auto* validator = new ByteLimitValidator(this, w);
  w->setValidator(validator);
  QObject::connect(w, &QLineEdit::textChanged, w, [this, validator](const QString& text) {
    validator->before = text;
    // Reached from the toolkit's signal: an exception must not travel through it.
    if (OnChange && !HasState(csReading)) Application().RunHandler(this, [this] { OnChange(this); });
  });
  TControlAccess::Attach(*this, w);
  SetColor(clWindow);
}

Cp932String TEdit::Text() const {
  return FromQString(static_cast<QLineEdit*>(WidgetOf(this))->text());
}

void TEdit::SetText(const Cp932String& text) {
  auto* w = static_cast<QLineEdit*>(WidgetOf(this));
  QString q = ToQString(text);
  if (w->text() == q) return;
  auto* validator = static_cast<ByteLimitValidator*>(const_cast<QValidator*>(w->validator()));
  validator->assigning = true;
  w->setText(q);
  validator->assigning = false;
  // An assigned text shows from its beginning, with the caret there.
  w->setCursorPosition(0);
}

void TEdit::SetReadOnly(bool readOnly) {
  FReadOnly = readOnly;
  static_cast<QLineEdit*>(WidgetOf(this))->setReadOnly(readOnly);
}

void TEdit::TypeText(const Cp932String& text) {
  auto* w = static_cast<QLineEdit*>(WidgetOf(this));
  if (FReadOnly) return;
  w->insert(ToQString(text));
}

void TEdit::ColorChanged() {
  if (QWidget* w = WidgetOf(this)) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Base, ToQColor(Color()));
    w->setPalette(pal);
  }
}

void TEdit::DefineProperties(TFiler& filer) {
  TWinControl::DefineProperties(filer);
  filer.String(
      "Text", [this] { return Text(); }, [this](const Cp932String& v) { SetText(v); });
  filer.Integer(
      "MaxLength", [this] { return FMaxLength; }, [this](int v) { SetMaxLength(v); }, FMaxLength != 0);
  filer.Boolean(
      "ReadOnly", [this] { return FReadOnly; }, [this](bool v) { SetReadOnly(v); }, FReadOnly);
  DefineEvent(filer, "OnChange", this, OnChange, FOnChangeName);
}

}  // namespace tess

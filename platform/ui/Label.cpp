#include "platform/ui/Label.h"

#include <QLabel>

#include "platform/ui/internal/Widgets.h"

namespace tess {

TLabel::TLabel(TComponent* owner) : TControl(owner) {
  auto* w = new QLabel;
  w->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  w->setTextFormat(Qt::PlainText);
  w->setContentsMargins(0, 0, 0, 0);
  w->setIndent(0);
  TControlAccess::Attach(*this, w);
}

void TLabel::SetWordWrap(bool wrap) {
  FWordWrap = wrap;
  if (auto* w = static_cast<QLabel*>(WidgetOf(this))) w->setWordWrap(wrap);
}

void TLabel::SetTransparent(bool t) {
  FTransparent = t;
}

void TLabel::CaptionChanged() {
  if (auto* w = static_cast<QLabel*>(WidgetOf(this))) w->setText(ToQString(Caption()));
}

void TLabel::ColorChanged() {}

void TLabel::DefineProperties(TFiler& filer) {
  TControl::DefineProperties(filer);
  DefineCaptionProperty(filer);
  filer.Boolean(
      "AutoSize", [this] { return FAutoSize; }, [this](bool v) { FAutoSize = v; }, !FAutoSize);
  filer.Boolean(
      "WordWrap", [this] { return FWordWrap; }, [this](bool v) { SetWordWrap(v); }, FWordWrap);
  filer.Boolean(
      "Transparent", [this] { return FTransparent; }, [this](bool v) { SetTransparent(v); }, FTransparent);
}

}  // namespace tess

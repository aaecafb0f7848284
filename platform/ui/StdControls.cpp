#include "platform/ui/StdControls.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QValidator>

#include <algorithm>
#include <functional>

#include "platform/components/StoredEnum.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/internal/Widgets.h"

namespace tess {
namespace {

std::size_t Cp932Bytes(const QString& text) {
  return FromQString(text).Length();
}

// The typing limit of an edit box, in code page 932 bytes. It sees only what the user types or pastes
// (assigned texts are not validated), and trims an insertion to the whole characters that still fit.
class ByteLimitValidator : public QValidator {
 public:
  ByteLimitValidator(TEdit* edit, QObject* parent) : QValidator(parent), edit_(edit) {}
  QString before;          // the text before the edit being validated
  bool assigning = false;  // the program sets the text: no limit

  State validate(QString& input, int& pos) const override {
    std::size_t limit = static_cast<std::size_t>(edit_->MaxLength());
    if (limit == 0 || assigning) return Acceptable;
    std::size_t now = Cp932Bytes(input);
    if (now <= limit || now <= Cp932Bytes(before)) return Acceptable;
    // The inserted part: what lies between the common beginning and the common end of the two texts.
    qsizetype prefix = 0;
    while (prefix < before.size() && prefix < input.size() && before[prefix] == input[prefix]) ++prefix;
    qsizetype suffix = 0;
    while (suffix < before.size() - prefix && suffix < input.size() - prefix &&
           before[before.size() - 1 - suffix] == input[input.size() - 1 - suffix]) {
      ++suffix;
    }
    QString inserted = input.mid(prefix, input.size() - prefix - suffix);
    std::size_t rest = now - Cp932Bytes(inserted);
    if (rest >= limit) return Invalid;
    std::size_t room = limit - rest;
    QString kept;
    std::size_t used = 0;
    for (qsizetype i = 0; i < inserted.size();) {
      qsizetype len = inserted[i].isHighSurrogate() && i + 1 < inserted.size() ? 2 : 1;
      QString ch = inserted.mid(i, len);
      std::size_t bytes = Cp932Bytes(ch);
      if (used + bytes > room) break;
      kept += ch;
      used += bytes;
      i += len;
    }
    if (kept.isEmpty()) return Invalid;
    input = input.left(prefix) + kept + input.right(suffix);
    pos = static_cast<int>(prefix + kept.size());
    return Acceptable;
  }

 private:
  TEdit* edit_;
};

// A button of a radio group. The arrow keys move the selection round the group (wrapping at its ends),
// as the window system's dialogs do; the toolkit's own handling of them is left out.
class GroupRadioButton : public QRadioButton {
 public:
  GroupRadioButton(const QString& text, QWidget* parent, std::function<void(int step)> move)
      : QRadioButton(text, parent), move_(std::move(move)) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    switch (event->key()) {
      case Qt::Key_Up:
      case Qt::Key_Left:
        move_(-1);
        return;
      case Qt::Key_Down:
      case Qt::Key_Right:
        move_(1);
        return;
      default:
        QRadioButton::keyPressEvent(event);
    }
  }

 private:
  std::function<void(int)> move_;
};

class RadioGroupWidget : public QWidget {
 public:
  QString caption;
  QButtonGroup* group = nullptr;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    QFontMetrics fm(font());
    int top = fm.height() / 2;
    QRect frame(0, top, width() - 1, height() - top - 1);
    // An etched frame, as the window system draws group boxes.
    p.setPen(ToQColor(clBtnShadow));
    p.drawRect(frame.adjusted(0, 0, -1, -1));
    p.setPen(ToQColor(clBtnHighlight));
    p.drawRect(frame.adjusted(1, 1, 0, 0));
    if (!caption.isEmpty()) {
      int w = fm.horizontalAdvance(caption);
      QRect text(8, 0, w + 2, fm.height());
      p.fillRect(text, palette().color(QPalette::Window));
      p.setPen(palette().color(QPalette::WindowText));
      p.drawText(text.adjusted(1, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, caption);
    }
  }
};

class BevelWidget : public QWidget {
 public:
  TBevelShape shape = TBevelShape::bsBox;
  TBevelStyle style = TBevelStyle::bsLowered;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    QColor c1 = ToQColor(clBtnShadow), c2 = ToQColor(clBtnHighlight);
    if (style == TBevelStyle::bsRaised) std::swap(c1, c2);
    int w = width(), h = height();
    auto rectLines = [&](QRect r) {
      p.setPen(c1);
      p.drawLine(r.left(), r.top(), r.right(), r.top());
      p.drawLine(r.left(), r.top(), r.left(), r.bottom());
      p.setPen(c2);
      p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
      p.drawLine(r.right(), r.top(), r.right(), r.bottom());
    };
    switch (shape) {
      case TBevelShape::bsBox:
        rectLines(QRect(0, 0, w, h));
        break;
      case TBevelShape::bsFrame: {
        p.setPen(c1);
        p.drawRect(0, 0, w - 2, h - 2);
        p.setPen(c2);
        p.drawRect(1, 1, w - 2, h - 2);
        break;
      }
      case TBevelShape::bsTopLine:
        p.setPen(c1);
        p.drawLine(0, 0, w, 0);
        p.setPen(c2);
        p.drawLine(0, 1, w, 1);
        break;
      case TBevelShape::bsBottomLine:
        p.setPen(c1);
        p.drawLine(0, h - 2, w, h - 2);
        p.setPen(c2);
        p.drawLine(0, h - 1, w, h - 1);
        break;
      case TBevelShape::bsLeftLine:
        p.setPen(c1);
        p.drawLine(0, 0, 0, h);
        p.setPen(c2);
        p.drawLine(1, 0, 1, h);
        break;
      case TBevelShape::bsRightLine:
        p.setPen(c1);
        p.drawLine(w - 2, 0, w - 2, h);
        p.setPen(c2);
        p.drawLine(w - 1, 0, w - 1, h);
        break;
      default:
        break;
    }
  }
};

TForm* ParentFormOf(TControl* c) {
  for (TControl* p = c; p != nullptr; p = p->Parent()) {
    if (auto* f = dynamic_cast<TForm*>(p)) return f;
  }
  return nullptr;
}

}  // namespace

// ---- TLabel -----------------------------------------------------------------------------------------------

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

// ---- TEdit ------------------------------------------------------------------------------------------------

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

// ---- TButton ----------------------------------------------------------------------------------------------

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  auto* w = new QPushButton;
  w->setAutoDefault(false);
  QObject::connect(w, &QPushButton::clicked, w, [this] { Click(); });
  TControlAccess::Attach(*this, w);
}

void TButton::SetDefault(bool v) {
  FDefault = v;
  auto* w = static_cast<QPushButton*>(WidgetOf(this));
  w->setDefault(v);
  w->setAutoDefault(v);
}

void TButton::CaptionChanged() {
  static_cast<QPushButton*>(WidgetOf(this))->setText(ToQString(Caption()));
}

void TButton::Click() {
  Application().RunHandler(this, [this] {
    if (OnClick) OnClick(this);
    if (FModalResult != mrNone) {
      if (TForm* form = ParentFormOf(this)) form->SetModalResult(FModalResult);
    }
  });
}

void TButton::DefineProperties(TFiler& filer) {
  TWinControl::DefineProperties(filer);
  DefineCaptionProperty(filer);
  filer.Boolean(
      "Default", [this] { return FDefault; }, [this](bool v) { SetDefault(v); }, FDefault);
  filer.Boolean(
      "Cancel", [this] { return FCancel; }, [this](bool v) { SetCancel(v); }, FCancel);
  filer.Integer(
      "ModalResult", [this] { return FModalResult; }, [this](int v) { SetModalResult(v); },
      FModalResult != mrNone);
}

// ---- TBitBtn ----------------------------------------------------------------------------------------------

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner) {}

namespace {

// The glyph of a kind, drawn here in a 16-unit square at one and two device pixels per unit rather than
// looked up in the desktop's icon theme: reading a theme's index costs more than the rest of the dialog's
// controls together, before the first button can be shown. None for the kinds without a glyph.
QIcon BitBtnGlyph(TBitBtnKind kind) {
  QColor color;
  switch (kind) {
    case TBitBtnKind::bkOK:
    case TBitBtnKind::bkYes:
      color = QColor(0, 128, 0);
      break;
    case TBitBtnKind::bkCancel:
    case TBitBtnKind::bkNo:
      color = QColor(192, 0, 0);
      break;
    case TBitBtnKind::bkHelp:
      color = QColor(0, 0, 160);
      break;
    case TBitBtnKind::bkClose:
      color = QColor(48, 48, 48);
      break;
    default:
      return QIcon();
  }
  QIcon icon;
  for (int scale : {1, 2}) {
    QPixmap pixmap(16 * scale, 16 * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(color, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    switch (kind) {
      case TBitBtnKind::bkOK:
      case TBitBtnKind::bkYes: {
        const QPointF tick[] = {{3, 8.5}, {6.5, 12}, {13, 4.5}};
        p.drawPolyline(tick, 3);
        break;
      }
      case TBitBtnKind::bkHelp: {
        QPainterPath mark;  // a question mark: a hook over a dot
        mark.moveTo(5, 6);
        mark.cubicTo(5, 2.5, 11, 2.5, 11, 5.5);
        mark.cubicTo(11, 8, 8, 8, 8, 10.5);
        p.drawPath(mark);
        p.setBrush(color);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(8, 13.5), 1.3, 1.3);
        break;
      }
      default:  // a cross: cancel, no and close
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
        break;
    }
    p.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace

void TBitBtn::SetKind(TBitBtnKind kind) {
  FKind = kind;
  auto* w = static_cast<QPushButton*>(WidgetOf(this));
  w->setIcon(BitBtnGlyph(kind));
  if (!w->icon().isNull()) w->setIconSize(QSize(16, 16));
  if (kind == TBitBtnKind::bkCancel || kind == TBitBtnKind::bkClose) SetCancel(true);
  if (kind == TBitBtnKind::bkOK) SetModalResult(mrOk);
  if (kind == TBitBtnKind::bkCancel) SetModalResult(mrCancel);
}

bool TBitBtn::HasGlyph() const {
  return !static_cast<QPushButton*>(WidgetOf(this))->icon().isNull();
}

void TBitBtn::Click() {
  if (FKind == TBitBtnKind::bkClose) {
    if (TForm* form = ParentFormOf(this)) {
      Application().RunHandler(this, [form] { form->Close(); });
      return;
    }
  }
  TButton::Click();
}

void TBitBtn::DefineProperties(TFiler& filer) {
  TButton::DefineProperties(filer);
  DefineEnumProperty<TBitBtnKind>(
      filer, "Kind",
      {{TBitBtnKind::bkCustom, "bkCustom"},
       {TBitBtnKind::bkOK, "bkOK"},
       {TBitBtnKind::bkCancel, "bkCancel"},
       {TBitBtnKind::bkHelp, "bkHelp"},
       {TBitBtnKind::bkYes, "bkYes"},
       {TBitBtnKind::bkNo, "bkNo"},
       {TBitBtnKind::bkClose, "bkClose"},
       {TBitBtnKind::bkAbort, "bkAbort"},
       {TBitBtnKind::bkRetry, "bkRetry"},
       {TBitBtnKind::bkIgnore, "bkIgnore"},
       {TBitBtnKind::bkAll, "bkAll"}},
      [this] { return FKind; }, [this](TBitBtnKind k) { SetKind(k); }, FKind != TBitBtnKind::bkCustom);
}

// ---- TRadioGroup ------------------------------------------------------------------------------------------

TRadioGroup::TRadioGroup(TComponent* owner) : TWinControl(owner) {
  auto* w = new RadioGroupWidget;
  w->group = new QButtonGroup(w);
  w->group->setExclusive(true);
  QObject::connect(w->group, &QButtonGroup::idClicked, w, [this](int id) { ClickItem(id); });
  TControlAccess::Attach(*this, w);
}

void TRadioGroup::SetItems(const std::vector<Cp932String>& items) {
  FItems = items;
  RebuildButtons();
}

void TRadioGroup::SetColumns(int columns) {
  FColumns = std::clamp(columns, 1, 16);
  ArrangeButtons();
}

void TRadioGroup::SetItemIndex(int index) {
  if (HasState(csReading)) {
    FItemIndex = index;
    return;
  }
  index = std::clamp(index, -1, static_cast<int>(FItems.size()) - 1);
  if (index == FItemIndex) return;
  FItemIndex = index;
  auto* w = static_cast<RadioGroupWidget*>(WidgetOf(this));
  if (index < 0) {
    w->group->setExclusive(false);
    for (QAbstractButton* b : w->group->buttons()) b->setChecked(false);
    w->group->setExclusive(true);
  } else if (QAbstractButton* b = w->group->button(index)) {
    b->setChecked(true);
  }
  UpdateButtonFocus();
  // A change of selection is a click of the group, whoever made it.
  if (OnClick) OnClick(this);
}

void TRadioGroup::ClickItem(int index) {
  Application().RunHandler(this, [this, index] { SetItemIndex(index); });
}

void TRadioGroup::UpdateButtonFocus() {
  // Tab reaches the group at its selected button (the first when none is selected); the arrow keys and
  // the mouse reach the others.
  auto* w = static_cast<RadioGroupWidget*>(WidgetOf(this));
  QAbstractButton* current = w->group->button(std::max(0, FItemIndex));
  for (QAbstractButton* b : w->group->buttons())
    b->setFocusPolicy(b == current ? Qt::StrongFocus : Qt::ClickFocus);
  if (current != nullptr) {
    QWidget* focused = w->window()->focusWidget();
    if (focused != nullptr && focused != current && focused->parentWidget() == w) current->setFocus();
    w->setFocusProxy(current);
  }
}

TRect TRadioGroup::ItemBounds(int index) const {
  auto* w = static_cast<RadioGroupWidget*>(WidgetOf(this));
  QAbstractButton* b = w->group->button(index);
  if (b == nullptr) return {};
  QRect g = b->geometry();
  return Bounds(g.left(), g.top(), g.width(), g.height());
}

void TRadioGroup::RebuildButtons() {
  auto* w = static_cast<RadioGroupWidget*>(WidgetOf(this));
  for (QAbstractButton* b : w->group->buttons()) {
    w->group->removeButton(b);
    delete b;
  }
  for (std::size_t i = 0; i < FItems.size(); ++i) {
    auto* b = new GroupRadioButton(ToQString(FItems[i]), w, [this](int step) {
      int count = static_cast<int>(FItems.size());
      if (count == 0) return;
      int next = ((std::max(0, FItemIndex) + step) % count + count) % count;
      ClickItem(next);
      auto* group = static_cast<RadioGroupWidget*>(WidgetOf(this))->group;
      if (QAbstractButton* target = group->button(next)) target->setFocus(Qt::TabFocusReason);
    });
    w->group->addButton(b, static_cast<int>(i));
    b->setChecked(static_cast<int>(i) == FItemIndex);
    b->show();
  }
  UpdateButtonFocus();
  ArrangeButtons();
  if (TWinControl* parent = Parent(); parent != nullptr && !HasState(csReading)) parent->UpdateTabOrder();
}

void TRadioGroup::ArrangeButtons() {
  auto* w = static_cast<RadioGroupWidget*>(WidgetOf(this));
  QList<QAbstractButton*> buttons = w->group->buttons();
  if (buttons.isEmpty()) return;
  // Items run down each column, then on to the next; the rows share the height below the caption.
  int count = static_cast<int>(buttons.size());
  int perColumn = (count + FColumns - 1) / FColumns;
  int buttonWidth = (Width() - 10) / FColumns;
  int textHeight = QFontMetrics(w->font()).height();
  int room = Height() - textHeight - 5;
  int buttonHeight = std::max(1, room / perColumn);
  int topMargin = textHeight + 1 + (room % perColumn) / 2;
  for (int i = 0; i < count; ++i) {
    QAbstractButton* b = w->group->button(i);
    b->setGeometry((i / perColumn) * buttonWidth + 8, (i % perColumn) * buttonHeight + topMargin, buttonWidth,
                   buttonHeight);
  }
}

void TRadioGroup::CaptionChanged() {
  auto* w = static_cast<RadioGroupWidget*>(WidgetOf(this));
  w->caption = ToQString(Caption());
  w->update();
}

void TRadioGroup::BoundsChanged() {
  TWinControl::BoundsChanged();
  ArrangeButtons();
}

void TRadioGroup::FontChanged() {
  TWinControl::FontChanged();
  ArrangeButtons();
}

void TRadioGroup::Loaded() {
  TWinControl::Loaded();
  // The item index read from the design selects its button without a click.
  int index = std::clamp(FItemIndex, -1, static_cast<int>(FItems.size()) - 1);
  FItemIndex = -2;
  auto handler = std::move(OnClick);
  OnClick = nullptr;
  SetItemIndex(index);
  OnClick = std::move(handler);
  ArrangeButtons();
}

void TRadioGroup::DefineProperties(TFiler& filer) {
  TWinControl::DefineProperties(filer);
  DefineCaptionProperty(filer);
  filer.Integer(
      "Columns", [this] { return FColumns; }, [this](int v) { SetColumns(v); }, FColumns != 1);
  DefineStringListProperty(
      filer, "Items", [this] { return FItems; }, [this](const std::vector<Cp932String>& v) { SetItems(v); },
      !FItems.empty());
  filer.Integer(
      "ItemIndex", [this] { return FItemIndex; }, [this](int v) { SetItemIndex(v); }, FItemIndex != -1);
}

// ---- TBevel -----------------------------------------------------------------------------------------------

TBevel::TBevel(TComponent* owner) : TControl(owner) {
  auto* w = new BevelWidget;
  w->setAttribute(Qt::WA_TransparentForMouseEvents);
  TControlAccess::Attach(*this, w);
}

void TBevel::SetShape(TBevelShape shape) {
  FShape = shape;
  auto* w = static_cast<BevelWidget*>(WidgetOf(this));
  w->shape = shape;
  w->update();
}

void TBevel::SetStyle(TBevelStyle style) {
  FStyle = style;
  auto* w = static_cast<BevelWidget*>(WidgetOf(this));
  w->style = style;
  w->update();
}

void TBevel::DefineProperties(TFiler& filer) {
  TControl::DefineProperties(filer);
  DefineEnumProperty<TBevelShape>(
      filer, "Shape",
      {{TBevelShape::bsBox, "bsBox"},
       {TBevelShape::bsFrame, "bsFrame"},
       {TBevelShape::bsTopLine, "bsTopLine"},
       {TBevelShape::bsBottomLine, "bsBottomLine"},
       {TBevelShape::bsLeftLine, "bsLeftLine"},
       {TBevelShape::bsRightLine, "bsRightLine"},
       {TBevelShape::bsSpacer, "bsSpacer"}},
      [this] { return FShape; }, [this](TBevelShape s) { SetShape(s); }, FShape != TBevelShape::bsBox);
  DefineEnumProperty<TBevelStyle>(
      filer, "Style", {{TBevelStyle::bsLowered, "bsLowered"}, {TBevelStyle::bsRaised, "bsRaised"}},
      [this] { return FStyle; }, [this](TBevelStyle s) { SetStyle(s); }, FStyle != TBevelStyle::bsLowered);
}

}  // namespace tess

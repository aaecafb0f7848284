#include "platform/ui/RadioGroup.h"

#include <QButtonGroup>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QRadioButton>

#include <algorithm>
#include <functional>
#include <utility>

#include "platform/components/StoredEnum.h"
#include "platform/ui/Application.h"
#include "platform/ui/internal/Widgets.h"

namespace tess {
namespace {

// A button of a radio group. The arrow keys move the selection round the group (wrapping at its ends),
// as the window system's dialogs do; the toolkit's own handling of them is left out.
class GroupRadioButton : public QRadioButton {
 public:
  GroupRadioButton(const QString& text, QWidget* parent, std::function<void(int step)> move)
      : QRadioButton(text, parent), FMove(std::move(move)) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    switch (event->key()) {
      case Qt::Key_Up:
      case Qt::Key_Left:
        FMove(-1);
        return;
      case Qt::Key_Down:
      case Qt::Key_Right:
        FMove(1);
        return;
      default:
        QRadioButton::keyPressEvent(event);
    }
  }

 private:
  std::function<void(int)> FMove;
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

}  // namespace

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

}  // namespace tess

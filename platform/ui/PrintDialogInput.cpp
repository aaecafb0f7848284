#include "platform/ui/PrintDialogInput.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>

#include "platform/ui/internal/PrintDialogWindow.h"

namespace tess {
namespace {

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A text as the user reads it: "&Print" shows as "Print", "&&" as "&".
QString Shown(const QString& text) {
  QString shown;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == u'&' && i + 1 < text.size()) ++i;
    shown += text[i];
  }
  return shown;
}

void SendClick(QWidget* widget, QPoint at) {
  const QPointF global = widget->mapToGlobal(QPointF(at));
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(widget, &release);
}

void SendKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
  QApplication::sendEvent(widget, &release);
}

QDialogButtonBox* ButtonRow(const TPrintDialogWindow& dialog) {
  return dialog.Dialog().findChild<QDialogButtonBox*>(QString(), Qt::FindDirectChildrenOnly);
}

// The tab widget whose page holds `widget`, and that page.
QTabWidget* TabOf(QWidget* widget, QWidget*& page) {
  for (QWidget* w = widget; w != nullptr && w->parentWidget() != nullptr; w = w->parentWidget()) {
    auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget());
    auto* tabs = stack != nullptr ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    if (tabs != nullptr) {
      page = w;
      return tabs;
    }
  }
  return nullptr;
}

// Brings the part into view as a user does: opens the options pane ("Options >>") and clicks its tab.
void BringIntoView(TPrintDialogWindow& dialog, QWidget* widget) {
  QWidget* pane = dialog.Dialog().findChild<QWidget*>(printdialog::kOptionsPane);
  QDialogButtonBox* row = ButtonRow(dialog);
  if (pane != nullptr && pane->isAncestorOf(widget) && !pane->isVisible() && row != nullptr) {
    for (QAbstractButton* button : row->buttons()) {
      if (row->buttonRole(button) == QDialogButtonBox::ResetRole) SendClick(button, button->rect().center());
    }
  }
  QWidget* page = nullptr;
  if (QTabWidget* tabs = TabOf(widget, page); tabs != nullptr && tabs->currentWidget() != page) {
    QTabBar* bar = tabs->tabBar();
    SendClick(bar, bar->tabRect(tabs->indexOf(page)).center());
  }
}

// A click where a user clicks a control: a check box or radio button on its mark (at the left), anything
// else in its middle.
void ClickControl(TPrintDialogWindow& dialog, QWidget* widget) {
  BringIntoView(dialog, widget);
  const bool marked = widget->inherits("QCheckBox") || widget->inherits("QRadioButton");
  SendClick(widget, marked ? QPoint(std::min(8, widget->width() / 2), widget->height() / 2)
                           : widget->rect().center());
}

// Types into a box over what it holds: a click into its text (a number box's arrows left alone), Ctrl+A, then
// one key per character.
void TypeOver(TPrintDialogWindow& dialog, QWidget* box, std::string_view text) {
  auto* edit = qobject_cast<QLineEdit*>(box);
  if (edit == nullptr) edit = box->findChild<QLineEdit*>();
  ClickControl(dialog, edit != nullptr ? edit : box);
  SendKey(box, Qt::Key_A, Qt::ControlModifier);
  for (QChar c : FromUtf8(text)) {
    const int key =
        c.unicode() < 0x80 ? static_cast<int>(c.toUpper().unicode()) : static_cast<int>(Qt::Key_unknown);
    SendKey(box, key, Qt::NoModifier, QString(c));
  }
}

// Whether the dialog shows the part: it may be on the closed options pane or on a tab not in front, but the
// dialog has not hidden it (nor is it a window of its own, such as a box's list).
bool Offered(const TPrintDialogWindow& dialog, const QWidget* widget) {
  if (widget->window() != &dialog.Dialog()) return false;
  const QWidget* pane = dialog.Dialog().findChild<QWidget*>(printdialog::kOptionsPane);
  for (const QWidget* w = widget; w != nullptr && !w->isWindow(); w = w->parentWidget()) {
    const bool tabPage = qobject_cast<const QStackedWidget*>(w->parentWidget()) != nullptr;
    if (w->isHidden() && w != pane && !tabPage) return false;
  }
  return true;
}

}  // namespace

bool SimulateBoxChoice(TPrintDialogWindow& dialog, std::string_view entry) {
  const QString wanted = FromUtf8(entry);
  for (QComboBox* box : dialog.Dialog().findChildren<QComboBox*>()) {
    const int index = box->findText(wanted);
    if (index < 0 || !Offered(dialog, box)) continue;
    if (!box->isEnabled()) return false;
    // Reached with the Tab key (a click would open its list), then stepped with the arrow keys.
    BringIntoView(dialog, box);
    box->setFocus(Qt::TabFocusReason);
    while (box->currentIndex() != index) {
      const int before = box->currentIndex();
      SendKey(box, box->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
      if (box->currentIndex() == before) return false;  // a disabled entry in the way
    }
    return true;
  }
  return false;
}

bool SimulateButtonClick(TPrintDialogWindow& dialog, std::string_view text) {
  const QString wanted = FromUtf8(text);
  for (QAbstractButton* button : dialog.Dialog().findChildren<QAbstractButton*>()) {
    if (Shown(button->text()) != wanted || !Offered(dialog, button)) continue;
    if (!button->isEnabled()) return false;
    ClickControl(dialog, button);
    return true;
  }
  return false;
}

void SimulateCopiesEntry(TPrintDialogWindow& dialog, std::string_view text) {
  if (auto* box = dialog.Dialog().findChild<QAbstractSpinBox*>(printdialog::kCopiesBox)) {
    TypeOver(dialog, box, text);
  }
}

void SimulatePagesEntry(TPrintDialogWindow& dialog, std::string_view text) {
  auto* choice = dialog.Dialog().findChild<QAbstractButton*>(printdialog::kPagesChoice);
  auto* box = dialog.Dialog().findChild<QLineEdit*>(printdialog::kPagesEntry);
  if (choice == nullptr || box == nullptr) return;
  ClickControl(dialog, choice);
  TypeOver(dialog, box, text);
}

void SimulatePrintClick(TPrintDialogWindow& dialog) {
  QDialogButtonBox* row = ButtonRow(dialog);
  if (row == nullptr) return;
  if (QPushButton* ok = row->button(QDialogButtonBox::Ok)) ClickControl(dialog, ok);
}

bool PrintDialogShowing(const TPrintDialogWindow& dialog) {
  return dialog.Dialog().isVisible();
}

std::string PrintDialogPagesEntry(const TPrintDialogWindow& dialog) {
  const auto* box = dialog.Dialog().findChild<QLineEdit*>(printdialog::kPagesEntry);
  return box != nullptr ? box->text().toStdString() : std::string();
}

std::vector<std::string> PrintDialogTexts(const TPrintDialogWindow& dialog) {
  std::vector<std::string> texts;
  auto add = [&](const QString& text) {
    if (!text.isEmpty()) texts.push_back(Shown(text).toStdString());
  };
  for (QWidget* w : dialog.Dialog().findChildren<QWidget*>()) {
    if (!Offered(dialog, w)) continue;
    if (const auto* label = qobject_cast<const QLabel*>(w)) {
      add(label->text());
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
      if (!w->inherits("QToolButton")) add(button->text());  // the tab bar's scroll arrows have none
    } else if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
      add(group->title());
    } else if (const auto* tabs = qobject_cast<const QTabWidget*>(w)) {
      for (int i = 0; i < tabs->count(); ++i) add(tabs->tabText(i));
    } else if (const auto* box = qobject_cast<const QComboBox*>(w)) {
      for (int i = 0; i < box->count(); ++i) add(box->itemText(i));
    }
  }
  return texts;
}

}  // namespace tess

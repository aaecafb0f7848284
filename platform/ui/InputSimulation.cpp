#include "platform/ui/InputSimulation.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QThread>
#include <QWheelEvent>

#include "platform/ui/internal/Widgets.h"

namespace tess {
namespace {

Qt::MouseButtons gHeld;  // buttons held between simulated presses and releases

Qt::MouseButton ToQt(TMouseButton b) {
  switch (b) {
    case TMouseButton::mbRight:
      return Qt::RightButton;
    case TMouseButton::mbMiddle:
      return Qt::MiddleButton;
    default:
      return Qt::LeftButton;
  }
}

Qt::KeyboardModifiers Modifiers(TShiftState shift) {
  Qt::KeyboardModifiers m;
  if (shift & ssShift) m |= Qt::ShiftModifier;
  if (shift & ssCtrl) m |= Qt::ControlModifier;
  if (shift & ssAlt) m |= Qt::AltModifier;
  return m;
}

// The widget the window system would hand the event to, and the point in its coordinates.
QWidget* Receiver(TControl& control, int x, int y, QPoint& local, QPoint& global) {
  QWidget* client = ClientWidgetOf(&control);
  const QPoint at = TControlAccess::ToClientWidget(control, TPoint{x, y});
  global = client->mapToGlobal(at);
  QWidget* target = QWidget::mouseGrabber();
  if (target == nullptr) {
    QWidget* child = client->childAt(at);
    target = child != nullptr ? child : client;
  }
  local = target->mapFromGlobal(global);
  return target;
}

// Events the program sends itself do not travel to the parent when a widget ignores them, as the user's
// do; this passes them up the same way.
template <class MakeEvent>
void SendUpwards(QWidget* target, const QPoint& global, MakeEvent make) {
  for (QWidget* w = target; w != nullptr; w = w->parentWidget()) {
    auto event = make(w->mapFromGlobal(global));
    bool consumed = QApplication::sendEvent(w, &event);
    if (consumed && event.isAccepted()) return;
    if (w->isWindow()) return;
  }
}

void SendMouse(TControl& control, QEvent::Type type, Qt::MouseButton button, int x, int y,
               TShiftState shift) {
  QPoint local, global;
  QWidget* target = Receiver(control, x, y, local, global);
  if (QWidget::mouseGrabber() == target && type != QEvent::MouseButtonPress) {
    QMouseEvent event(type, QPointF(local), QPointF(global), button, gHeld, Modifiers(shift));
    QApplication::sendEvent(target, &event);
    return;
  }
  SendUpwards(target, global, [&](const QPoint& at) {
    return QMouseEvent(type, QPointF(at), QPointF(global), button, gHeld, Modifiers(shift));
  });
}

}  // namespace

void SimulateTextInput(TControl& control, std::string_view utf8) {
  QInputMethodEvent event;
  event.setCommitString(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
  QApplication::sendEvent(ClientWidgetOf(&control), &event);
}

void SimulateMouseDown(TControl& control, TMouseButton button, int x, int y, TShiftState shift) {
  gHeld |= ToQt(button);
  SendMouse(control, QEvent::MouseButtonPress, ToQt(button), x, y, shift);
}

void SimulateMouseMove(TControl& control, int x, int y, TShiftState shift) {
  SendMouse(control, QEvent::MouseMove, Qt::NoButton, x, y, shift);
}

void SimulateMouseUp(TControl& control, TMouseButton button, int x, int y, TShiftState shift) {
  gHeld &= ~Qt::MouseButtons(ToQt(button));
  SendMouse(control, QEvent::MouseButtonRelease, ToQt(button), x, y, shift);
}

void SimulateClick(TControl& control, int x, int y) {
  SimulateMouseDown(control, TMouseButton::mbLeft, x, y);
  SimulateMouseUp(control, TMouseButton::mbLeft, x, y);
}

void SimulateMouseWheel(TControl& control, int delta, int x, int y, TShiftState shift) {
  QPoint local, global;
  QWidget* target = Receiver(control, x, y, local, global);
  SendUpwards(target, global, [&](const QPoint& at) {
    return QWheelEvent(QPointF(at), QPointF(global), QPoint(), QPoint(0, delta), gHeld, Modifiers(shift),
                       Qt::NoScrollPhase, false);
  });
}

void SimulateKey(TControl& control, int virtualKey, TShiftState shift) {
  int key = 0;
  QString text;
  Qt::KeyboardModifiers modifiers = Modifiers(shift);
  switch (virtualKey) {
    case VK_TAB:
      key = (shift & ssShift) ? Qt::Key_Backtab : Qt::Key_Tab;
      break;
    case VK_RETURN:
      key = Qt::Key_Return;
      text = QStringLiteral("\r");
      break;
    case VK_ESCAPE:
      key = Qt::Key_Escape;
      break;
    case VK_SPACE:
      key = Qt::Key_Space;
      text = QStringLiteral(" ");
      break;
    case VK_LEFT:
      key = Qt::Key_Left;
      break;
    case VK_UP:
      key = Qt::Key_Up;
      break;
    case VK_RIGHT:
      key = Qt::Key_Right;
      break;
    case VK_DOWN:
      key = Qt::Key_Down;
      break;
    case VK_PRIOR:
      key = Qt::Key_PageUp;
      break;
    case VK_NEXT:
      key = Qt::Key_PageDown;
      break;
    case VK_HOME:
      key = Qt::Key_Home;
      break;
    case VK_END:
      key = Qt::Key_End;
      break;
    case VK_OEM_PLUS:
    case VK_ADD:
      key = Qt::Key_Plus;
      text = QStringLiteral("+");
      if (virtualKey == VK_ADD) modifiers |= Qt::KeypadModifier;
      break;
    case VK_OEM_MINUS:
    case VK_SUBTRACT:
      key = Qt::Key_Minus;
      text = QStringLiteral("-");
      if (virtualKey == VK_SUBTRACT) modifiers |= Qt::KeypadModifier;
      break;
    default:
      if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z')) {
        key = virtualKey;
        text = QString(QChar(virtualKey)).toLower();
      }
      break;
  }
  if (key == 0) return;
  QWidget* window = WidgetOf(&control)->window();
  QWidget* target = window->focusWidget() != nullptr ? window->focusWidget() : window;
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(target, &press);
  QWidget* after = window->focusWidget() != nullptr ? window->focusWidget() : window;
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
  QApplication::sendEvent(after, &release);
}

bool WaitUntilOnTop(const TControl& control, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  for (;;) {
    QApplication::processEvents();
    QWidget* w = WidgetOf(&control);
    if (w == nullptr || !w->isVisible()) return false;
    QWidget* at = QApplication::widgetAt(w->mapToGlobal(w->rect().center()));
    if (at != nullptr && (at == w || w->isAncestorOf(at))) return true;
    if (clock.elapsed() >= timeoutMs) return false;
    QThread::msleep(10);
  }
}

TWinControl* FocusedControl(const TControl& window) {
  for (QWidget* w = WidgetOf(&window)->window()->focusWidget(); w != nullptr; w = w->parentWidget()) {
    if (auto* c = dynamic_cast<TWinControl*>(ControlOfWidget(w))) return c;
  }
  return nullptr;
}

}  // namespace tess

// The event glue between controls and their widgets: the widgets' mouse, wheel and size events reach the
// controls' events, keys reach their form's OnKeyDown, a control can be dragged onto another, and the mouse
// cursor follows the controls.
#include "platform/ui/internal/ControlEvents.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/PopupMenu.h"
#include "platform/ui/internal/Widgets.h"

namespace tess {
namespace {

TShiftState ShiftOf(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons) {
  TShiftState s = 0;
  if (mods & Qt::ShiftModifier) s |= ssShift;
  if (mods & Qt::AltModifier) s |= ssAlt;
  if (mods & Qt::ControlModifier) s |= ssCtrl;
  if (buttons & Qt::LeftButton) s |= ssLeft;
  if (buttons & Qt::RightButton) s |= ssRight;
  if (buttons & Qt::MiddleButton) s |= ssMiddle;
  return s;
}

bool ButtonOf(Qt::MouseButton b, TMouseButton& out) {
  switch (b) {
    case Qt::LeftButton:
      out = TMouseButton::mbLeft;
      return true;
    case Qt::RightButton:
      out = TMouseButton::mbRight;
      return true;
    case Qt::MiddleButton:
      out = TMouseButton::mbMiddle;
      return true;
    default:
      return false;
  }
}

// The virtual-key code of a key the windows react to, or 0.
int VirtualKeyOf(const QKeyEvent& event) {
  const bool keypad = (event.modifiers() & Qt::KeypadModifier) != 0;
  const int key = event.key();
  switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return VK_RETURN;
    case Qt::Key_Escape:
      return VK_ESCAPE;
    case Qt::Key_Space:
      return VK_SPACE;
    case Qt::Key_PageUp:
      return VK_PRIOR;
    case Qt::Key_PageDown:
      return VK_NEXT;
    case Qt::Key_End:
      return VK_END;
    case Qt::Key_Home:
      return VK_HOME;
    case Qt::Key_Left:
      return VK_LEFT;
    case Qt::Key_Up:
      return VK_UP;
    case Qt::Key_Right:
      return VK_RIGHT;
    case Qt::Key_Down:
      return VK_DOWN;
    case Qt::Key_Plus:
      return keypad ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Minus:
      return keypad ? VK_SUBTRACT : VK_OEM_MINUS;
    default:
      // Digits and letters have their characters' codes in both numberings.
      if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z)) return key;
      return 0;
  }
}

// The one drag in progress (there is one mouse).
struct DragState {
  TControl* source = nullptr;
  bool started = false;  // past the threshold
  int threshold = 0;
  QPoint pressGlobal;
  QPoint lastGlobal;  // where the pointer was last seen during the drag
  TControl* target = nullptr;
  bool accepted = false;
};
DragState gDrag;

TControl* ControlAtGlobal(const QPoint& global) {
  QWidget* w = QApplication::widgetAt(global);
  return w ? ControlOfWidget(w) : nullptr;
}

void DragMove(const QPoint& global) {
  if (gDrag.source == nullptr) return;
  gDrag.lastGlobal = global;
  if (!gDrag.started) {
    if ((global - gDrag.pressGlobal).manhattanLength() < gDrag.threshold) return;
    gDrag.started = true;
  }
  TControl* target = ControlAtGlobal(global);
  TControl* source = gDrag.source;
  if (target != gDrag.target && gDrag.target != nullptr && gDrag.target->OnDragOver) {
    TControl* old = gDrag.target;
    QPoint p = WidgetOf(old)->mapFromGlobal(global);
    bool accept = false;
    Application().RunHandler(
        old, [&] { old->OnDragOver(old, source, p.x(), p.y(), TDragState::dsDragLeave, accept); });
  }
  TDragState state = target != gDrag.target ? TDragState::dsDragEnter : TDragState::dsDragMove;
  gDrag.target = target;
  gDrag.accepted = false;
  if (target != nullptr && target->OnDragOver) {
    QPoint p = WidgetOf(target)->mapFromGlobal(global);
    bool accept = true;
    Application().RunHandler(target,
                             [&] { target->OnDragOver(target, source, p.x(), p.y(), state, accept); });
    gDrag.accepted = accept;
  }
  if (gDrag.source != nullptr) ApplyCursor(gDrag.accepted ? crDrag : crNoDrop, WidgetOf(gDrag.source));
}

// Forwards the mouse and size events of a control's widget to the control's events.
class EventForwarder : public QObject {
 public:
  explicit EventForwarder(TControl* control) : FControl(control) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    TControl* c = FControl;
    switch (event->type()) {
      case QEvent::MouseButtonPress: {
        auto* me = static_cast<QMouseEvent*>(event);
        TMouseButton button;
        if (!ButtonOf(me->button(), button)) break;
        QPoint p = Local(watched, me);
        if (c->OnMouseDown) {
          Application().RunHandler(
              c, [&] { c->OnMouseDown(c, button, ShiftOf(me->modifiers(), me->buttons()), p.x(), p.y()); });
        }
        if (button == TMouseButton::mbLeft && c->DragMode() == TDragMode::dmAutomatic && !c->Dragging()) {
          c->BeginDrag(false);
        }
        if (gDrag.source == c) gDrag.pressGlobal = gDrag.lastGlobal = me->globalPosition().toPoint();
        if (button == TMouseButton::mbRight && c->PopupMenu() != nullptr) {
          TPoint at{me->globalPosition().toPoint().x(), me->globalPosition().toPoint().y()};
          c->PopupMenu()->Popup(at.X, at.Y);
        }
        break;
      }
      case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(event);
        if (gDrag.source == c) {
          DragMove(me->globalPosition().toPoint());
          return true;
        }
        if (c->OnMouseMove) {
          QPoint p = Local(watched, me);
          Application().RunHandler(
              c, [&] { c->OnMouseMove(c, ShiftOf(me->modifiers(), me->buttons()), p.x(), p.y()); });
        }
        break;
      }
      case QEvent::MouseButtonRelease: {
        auto* me = static_cast<QMouseEvent*>(event);
        if (gDrag.source == c) {
          DragMove(me->globalPosition().toPoint());
          c->EndDrag(true);
          return true;
        }
        TMouseButton button;
        if (!ButtonOf(me->button(), button)) break;
        QPoint p = Local(watched, me);
        if (c->OnMouseUp) {
          Application().RunHandler(
              c, [&] { c->OnMouseUp(c, button, ShiftOf(me->modifiers(), me->buttons()), p.x(), p.y()); });
        }
        // Buttons click through their own signal; other controls click on a left release inside them.
        if (button == TMouseButton::mbLeft && c->IsGraphicControl() && WidgetOf(c)->rect().contains(p))
          c->Click();
        break;
      }
      case QEvent::MouseButtonDblClick:
        if (c->OnDblClick) Application().RunHandler(c, [&] { c->OnDblClick(c); });
        break;
      case QEvent::Wheel: {
        auto* twc = dynamic_cast<TWinControl*>(c);
        if (twc != nullptr && twc->OnMouseWheel) {
          auto* we = static_cast<QWheelEvent*>(event);
          bool handled = false;
          QPoint g = we->globalPosition().toPoint();
          Application().RunHandler(c, [&] {
            twc->OnMouseWheel(c, ShiftOf(we->modifiers(), we->buttons()), we->angleDelta().y(),
                              TPoint{g.x(), g.y()}, handled);
          });
          if (handled) return true;
        }
        break;
      }
      case QEvent::KeyPress:
        if (KeyDown(watched, static_cast<QKeyEvent*>(event))) return true;
        break;
      case QEvent::Resize:
        if (watched == WidgetOf(c) && !WidgetOf(c)->isWindow() && c->OnResize)
          Application().RunHandler(c, [&] { c->OnResize(c); });
        break;
      default:
        break;
    }
    return false;
  }

 private:
  // Event position in the control's own coordinates (the event may come from its client widget).
  QPoint Local(QObject* watched, QMouseEvent* me) const {
    QPoint p = me->position().toPoint();
    auto* w = qobject_cast<QWidget*>(watched);
    QWidget* own = WidgetOf(FControl);
    if (w != nullptr && own != nullptr && w != own) p = w->mapTo(own, p);
    return p;
  }
  // Offers a key to the form's OnKeyDown: with KeyPreview where it reaches the widget with the focus (or the
  // window, when none has it), before that widget sees it; otherwise where it reaches the form itself.
  // True when the handler took it.
  bool KeyDown(QObject* watched, QKeyEvent* event) const {
    auto* widget = qobject_cast<QWidget*>(watched);
    TForm* form = ParentFormOf(FControl);
    if (widget == nullptr || form == nullptr || !form->OnKeyDown) return false;
    QWidget* window = widget->window();
    QWidget* first = window->focusWidget() != nullptr ? window->focusWidget() : window;
    if (form->KeyPreview() ? widget != first : widget != WidgetOf(form)) return false;
    int key = VirtualKeyOf(*event);
    if (key == 0) return false;
    const TShiftState shift = ShiftOf(event->modifiers(), Qt::NoButton);
    Application().RunHandler(form, [&] { form->OnKeyDown(form, key, shift); });
    if (key != 0) return false;
    event->accept();
    return true;
  }

  TControl* FControl;
};

Qt::CursorShape ShapeOf(TCursor cursor) {
  switch (cursor) {
    case crHourGlass:
      return Qt::WaitCursor;
    case crCross:
      return Qt::CrossCursor;
    case crIBeam:
      return Qt::IBeamCursor;
    case crSizeAll:
      return Qt::SizeAllCursor;
    case crDrag:
      return Qt::DragMoveCursor;
    case crNoDrop:
      return Qt::ForbiddenCursor;
    case crHandPoint:
      return Qt::PointingHandCursor;
    case crNone:
      return Qt::BlankCursor;
    default:
      return Qt::ArrowCursor;
  }
}

}  // namespace

QObject* MakeEventForwarder(TControl* control) {
  return new EventForwarder(control);
}

void ApplyCursor(TCursor cursor, QWidget* w) {
  if (w == nullptr) return;
  if (cursor == crDefault) {
    w->unsetCursor();
  } else {
    w->setCursor(ShapeOf(cursor));
  }
}

void ForgetDragControl(const TControl* control) {
  if (gDrag.source == control) gDrag = DragState{};
  if (gDrag.target == control) gDrag.target = nullptr;
}

// ---- dragging ---------------------------------------------------------------------------------------------

void TControl::BeginDrag(bool immediate, int threshold) {
  if (gDrag.source != nullptr) return;
  gDrag = DragState{};
  gDrag.source = this;
  gDrag.started = immediate;
  gDrag.threshold = threshold < 0 ? QApplication::startDragDistance() : threshold;
  gDrag.pressGlobal = QCursor::pos();
  gDrag.lastGlobal = gDrag.pressGlobal;
  if (QWidget* w = WidgetOf(this)) {
    w->grabMouse();
    if (immediate) ApplyCursor(crDrag, w);
  }
}

void TControl::EndDrag(bool drop) {
  if (gDrag.source != this) return;
  DragState d = gDrag;
  gDrag = DragState{};
  if (QWidget* w = WidgetOf(this)) {
    w->releaseMouse();
    ApplyCursor(FCursor, w);
  }
  QPoint global = d.lastGlobal;
  TControl* target = nullptr;
  if (drop && d.started && d.accepted && d.target != nullptr) {
    target = d.target;
    QPoint p = WidgetOf(target)->mapFromGlobal(global);
    if (target->OnDragDrop)
      Application().RunHandler(target, [&] { target->OnDragDrop(target, this, p.x(), p.y()); });
  }
  if (OnEndDrag) {
    QPoint p = WidgetOf(this) ? WidgetOf(this)->mapFromGlobal(global) : global;
    Application().RunHandler(this, [&] { OnEndDrag(this, target, p.x(), p.y()); });
  }
}

bool TControl::Dragging() const {
  return gDrag.source == this;
}

}  // namespace tess

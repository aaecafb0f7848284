#pragma once
// The toolkit side of controls, for platform sources only.

#include <QColor>
#include <QFont>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

#include "platform/ui/Controls.h"

namespace tess {

struct TWidgetHandle {
  QPointer<QWidget> widget;       // the control's own widget
  QPointer<QWidget> client;       // where child controls go (a scroll area's content widget, say)
  QPointer<QWidget> eventSource;  // a further widget whose mouse events are the control's (a viewport)
  ~TWidgetHandle() {
    if (widget) delete widget.data();
  }
};

// Gives `control` its widget (and the widget its children go into, when that is another one).
struct TControlAccess {
  static void Attach(TControl& control, QWidget* widget, QWidget* client = nullptr,
                     QWidget* eventSource = nullptr);
  static void Restack(TWinControl& parent);
  // Puts a control's widget at its bounds again (its parent's client origin moved).
  static void Place(TControl& control);
  // A point in a control's client coordinates on the widget its children stand on, and back.
  static QPoint ToClientWidget(const TControl& control, TPoint client);
  static TPoint FromClientWidget(const TControl& control, QPoint widget);
};

QWidget* WidgetOf(const TControl* control);
QWidget* ClientWidgetOf(const TControl* control);
// The control a widget belongs to (the widget itself or its nearest ancestor that is a control's widget).
TControl* ControlOfWidget(const QWidget* widget);

QString ToQString(const Cp932String& text);
Cp932String FromQString(const QString& text);
QColor ToQColor(TColor color);
QFont ToQFont(const TControlFont& font);

}  // namespace tess

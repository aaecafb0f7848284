#include "platform/ui/Application.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/core/Exceptions.h"
#include "platform/core/Messages.h"
#include "platform/gfx/FontFaces.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Runtime.h"
#include "platform/ui/internal/Widgets.h"

namespace tess {
namespace {

// For start-up measurements (TESSARINE_EXIT_WHEN_SHOWN set to anything but empty): the process ends, at
// once and with exit code 0, when the first window has been mapped and its first exposure painted.
class TExitWhenShown : public QObject {
 public:
  using QObject::QObject;
  static bool Wanted() {
    const char* v = std::getenv("TESSARINE_EXIT_WHEN_SHOWN");
    return v != nullptr && *v != '\0';
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose && watched->isWindowType() &&
        static_cast<QWindow*>(watched)->isExposed()) {
      // Queued behind the exposure's own painting.
      QTimer::singleShot(0, [] {
        std::fflush(nullptr);
        std::_Exit(0);
      });
    }
    return false;
  }
};

}  // namespace

TApplication::TApplication(TComponent* owner) : TComponent(owner) {}

TApplication::~TApplication() = default;

void TApplication::Initialize(int argc, char** argv) {
  EnsurePlatformStarted(argc, argv);
  // Closing a secondary window must not end the program: only the main form does.
  QApplication::setQuitOnLastWindowClosed(false);
  InstallFaceNameMapping();
  FTerminated = false;
  static bool exitHookInstalled = false;
  if (!exitHookInstalled && TExitWhenShown::Wanted()) {
    exitHookInstalled = true;
    qApp->installEventFilter(new TExitWhenShown(qApp));
  }
}

void TApplication::SetTitle(const Cp932String& title) {
  FTitle = title;
  QGuiApplication::setApplicationDisplayName(QString());
  QCoreApplication::setApplicationName(ToQString(title));
}

void TApplication::Run() {
  if (FMainForm == nullptr) return;
  FTerminated = false;
  FMainForm->Show();
  if (!FTerminated) QApplication::exec();
}

void TApplication::Terminate() {
  FTerminated = true;
  QCoreApplication::quit();
}

void TApplication::ProcessMessages() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::DestroyComponents() {
  while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
  FMainForm = nullptr;
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == FMainForm) FMainForm = nullptr;
}

TModalResult TApplication::MessageBox(const Cp932String& text, const Cp932String& caption, TMsgIcon icon,
                                      TMsgButtons buttons) {
  TMessageBoxRequest request{text, caption, icon, buttons};
  if (FMessageBoxHook) return FMessageBoxHook(request);
  QMessageBox box(QApplication::activeWindow());
  box.setWindowTitle(ToQString(caption));
  box.setText(ToQString(text));
  switch (icon) {
    case TMsgIcon::Error:
      box.setIcon(QMessageBox::Critical);
      break;
    case TMsgIcon::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case TMsgIcon::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case TMsgIcon::Question:
      box.setIcon(QMessageBox::Question);
      break;
    default:
      break;
  }
  switch (buttons) {
    case TMsgButtons::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case TMsgButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case TMsgButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
    default:
      box.setStandardButtons(QMessageBox::Ok);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Ok:
      return mrOk;
    case QMessageBox::Yes:
      return mrYes;
    case QMessageBox::No:
      return mrNo;
    default:
      return mrCancel;
  }
}

TMessageBoxHook TApplication::SetMessageBoxHook(TMessageBoxHook hook) {
  std::swap(hook, FMessageBoxHook);
  return hook;
}

Cp932String ExceptionMessage(const std::exception& e) {
  if (const auto* own = dynamic_cast<const Exception*>(&e)) return own->Message();
  return Cp932String::FromUtf8(e.what());
}

void TApplication::HandleException(TComponent* sender, const std::exception& e) {
  if (OnException) {
    try {
      OnException(sender, e);
      return;
    } catch (const std::exception& inner) {
      ShowException(inner);
      return;
    }
  }
  ShowException(e);
}

void TApplication::ShowException(const std::exception& e) {
  Cp932String message = ExceptionMessage(e);
  // The message is shown as a sentence; one that already ends with a full stop (".", "．" or "。") keeps
  // its own.
  const Cp932String last =
      Cp932String::FromBytes(message.Bytes().substr(PrevCharOffset(message, message.Length())));
  if (last != Cp932String(".") && last != Cp932String::FromUtf8("．") &&
      last != Cp932String::FromUtf8("。")) {
    message += ".";
  }
  MessageBox(message, FTitle, TMsgIcon::Error, TMsgButtons::Ok);
}

void TApplication::RunHandler(TComponent* sender, const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    HandleException(sender, e);
  } catch (...) {
    HandleException(sender, Exception(MessageCp932("app.unknown-error")));
  }
}

TApplication& Application() {
  // Lives for the whole process; DestroyComponents frees its forms before the program ends.
  static TApplication* application = new TApplication(nullptr);
  return *application;
}

// ---- TScreen ----------------------------------------------------------------------------------------------

namespace {
QScreen* PrimaryScreen() {
  return QGuiApplication::primaryScreen();
}
}  // namespace

int TScreen::Width() const {
  QScreen* s = PrimaryScreen();
  return s ? s->geometry().width() : 0;
}

int TScreen::Height() const {
  QScreen* s = PrimaryScreen();
  return s ? s->geometry().height() : 0;
}

TRect TScreen::WorkAreaRect() const {
  QScreen* s = PrimaryScreen();
  if (s == nullptr) return {};
  QRect r = s->availableGeometry();
  return Bounds(r.left(), r.top(), r.width(), r.height());
}

TPoint TScreen::CursorPos() const {
  QPoint p = QCursor::pos();
  return {p.x(), p.y()};
}

void TScreen::SetCursor(TCursor cursor) {
  if (cursor == FCursor) return;
  while (QGuiApplication::overrideCursor() != nullptr) QGuiApplication::restoreOverrideCursor();
  FCursor = cursor;
  if (cursor == crDefault) return;
  Qt::CursorShape shape = Qt::ArrowCursor;
  switch (cursor) {
    case crHourGlass:
      shape = Qt::WaitCursor;
      break;
    case crCross:
      shape = Qt::CrossCursor;
      break;
    case crIBeam:
      shape = Qt::IBeamCursor;
      break;
    case crHandPoint:
      shape = Qt::PointingHandCursor;
      break;
    case crDrag:
      shape = Qt::DragMoveCursor;
      break;
    case crNoDrop:
      shape = Qt::ForbiddenCursor;
      break;
    case crSizeAll:
      shape = Qt::SizeAllCursor;
      break;
    case crNone:
      shape = Qt::BlankCursor;
      break;
    default:
      break;
  }
  QGuiApplication::setOverrideCursor(QCursor(shape));
}

TForm* TScreen::ActiveForm() const {
  QWidget* active = QApplication::activeWindow();
  for (TForm* f : FForms) {
    if (WidgetOf(f) == active) return f;
  }
  return nullptr;
}

void TScreen::RemoveForm(TForm* form) {
  FForms.erase(std::remove(FForms.begin(), FForms.end(), form), FForms.end());
}

TScreen& Screen() {
  static TScreen* screen = new TScreen;
  return *screen;
}

}  // namespace tess

#include "platform/ui/Forms.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>

#include "platform/components/StoredEnum.h"
#include "platform/core/Messages.h"
#include "platform/ui/Application.h"
#include "platform/ui/internal/Widgets.h"

namespace tess {

// Lets the form's widget reach the form's private handlers.
struct TFormAccess {
  static void Moved(TForm& f, int l, int t) { f.WidgetMoved(l, t); }
  static void Resized(TForm& f, int w, int h) { f.WidgetResized(w, h); }
  static void CloseRequested(TForm& f) { f.WidgetCloseRequested(); }
  static void Framed(TForm& f) { f.WidgetFramed(); }
};

namespace {

// The frame the window system has put around the client area (none until it has framed the window).
QMargins ReportedFrame(const QWidget* w) {
  QRect frame = w->frameGeometry(), client = w->geometry();
  return QMargins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                  frame.bottom() - client.bottom());
}

// Window managers frame windows by kind (a fixed-size window has no resize handles, say): the frame last
// seen on a window of each kind stands for the frame of a window of that kind not framed yet.
int FrameKind(const QWidget* w) {
  bool fixed = w->minimumSize() == w->maximumSize();
  return static_cast<int>(w->windowType()) * 2 + (fixed ? 1 : 0);
}

struct TSeenFrames {
  std::map<int, QMargins> byKind;
  std::optional<QMargins> last;  // of any kind
};

TSeenFrames& SeenFrames() {
  static TSeenFrames frames;
  return frames;
}

class FormWidget : public QWidget {
 public:
  explicit FormWidget(TForm* form) : QWidget(nullptr, Qt::Window), FForm(form) {}
  bool closing = false;  // a close the form itself asked for
  bool framed = false;   // the window system has framed the shown window
  std::function<void()> onFramed;

  // The frame around the client area: the real one once framed, else the one expected for this kind.
  QMargins Frame() const {
    if (windowFlags() & Qt::FramelessWindowHint) return {};
    if (framed) return ReportedFrame(this);
    const TSeenFrames& seen = SeenFrames();
    auto it = seen.byKind.find(FrameKind(this));
    if (it != seen.byKind.end()) return it->second;
    return seen.last.value_or(QMargins());
  }

 protected:
  void closeEvent(QCloseEvent* event) override {
    if (closing) {
      event->accept();
      return;
    }
    // The window's close box: the form's own close sequence decides.
    event->ignore();
    TForm* form = FForm;
    Application().RunHandler(form, [form] { TFormAccess::CloseRequested(*form); });
  }
  void showEvent(QShowEvent* event) override {
    QWidget::showEvent(event);
    if (windowHandle() != nullptr) windowHandle()->installEventFilter(this);
  }
  // The first showing on screen: whatever the window system has reported by now is the frame.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose && watched == windowHandle() && windowHandle()->isExposed()) {
      NoteFramed(true);
    }
    return QWidget::eventFilter(watched, event);
  }
  void moveEvent(QMoveEvent* event) override {
    QWidget::moveEvent(event);
    if (NoteFramed(false)) return;
    TForm* form = FForm;
    QRect frame = frameGeometry();
    Application().RunHandler(form, [form, frame] { TFormAccess::Moved(*form, frame.left(), frame.top()); });
  }
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    if (NoteFramed(false)) return;
    TForm* form = FForm;
    int w = width(), h = height();
    Application().RunHandler(form, [form, w, h] { TFormAccess::Resized(*form, w, h); });
  }

 private:
  // A shown window is framed once the window system reports a frame, or at the latest when it is first
  // exposed. Returns whether it has just become framed (the form then refits itself to its outer bounds).
  bool NoteFramed(bool exposed) {
    if (framed || !isVisible()) return false;
    bool frameless = (windowFlags() & Qt::FramelessWindowHint) != 0;
    QMargins frame = frameless ? QMargins() : ReportedFrame(this);
    if (frame.isNull() && !exposed) return false;
    framed = true;
    if (!frameless) {
      TSeenFrames& seen = SeenFrames();
      seen.byKind[FrameKind(this)] = frame;
      seen.last = frame;
    }
    TForm* form = FForm;
    Application().RunHandler(form, [form] { TFormAccess::Framed(*form); });
    if (onFramed) onFramed();
    return true;
  }

  TForm* FForm;
};

const TEnumNames<TFormBorderStyle> kBorderStyleNames = {{TFormBorderStyle::bsNone, "bsNone"},
                                                        {TFormBorderStyle::bsSingle, "bsSingle"},
                                                        {TFormBorderStyle::bsSizeable, "bsSizeable"},
                                                        {TFormBorderStyle::bsDialog, "bsDialog"},
                                                        {TFormBorderStyle::bsToolWindow, "bsToolWindow"},
                                                        {TFormBorderStyle::bsSizeToolWin, "bsSizeToolWin"}};
const TEnumNames<TPosition> kPositionNames = {{TPosition::poDesigned, "poDesigned"},
                                              {TPosition::poDefault, "poDefault"},
                                              {TPosition::poDefaultPosOnly, "poDefaultPosOnly"},
                                              {TPosition::poDefaultSizeOnly, "poDefaultSizeOnly"},
                                              {TPosition::poScreenCenter, "poScreenCenter"},
                                              {TPosition::poDesktopCenter, "poDesktopCenter"},
                                              {TPosition::poMainFormCenter, "poMainFormCenter"},
                                              {TPosition::poOwnerFormCenter, "poOwnerFormCenter"}};
const TEnumNames<TWindowState> kWindowStateNames = {{TWindowState::wsNormal, "wsNormal"},
                                                    {TWindowState::wsMinimized, "wsMinimized"},
                                                    {TWindowState::wsMaximized, "wsMaximized"}};

FormWidget* FormWidgetOf(const TForm* form) {
  return static_cast<FormWidget*>(WidgetOf(form));
}

// Shows a window minimized, maximized or normal. A normal window is shown as placed at its first showing and
// brought back from minimized or maximized afterwards.
void ShowInState(QWidget& w, TWindowState state, bool firstShowing) {
  switch (state) {
    case TWindowState::wsMinimized:
      w.showMinimized();
      break;
    case TWindowState::wsMaximized:
      w.showMaximized();
      break;
    default:
      if (firstShowing) {
        w.show();
      } else {
        w.showNormal();
      }
      break;
  }
}

QMargins FrameOf(const QWidget* w) {
  return static_cast<const FormWidget*>(w)->Frame();
}

}  // namespace

TForm::TForm(TComponent* owner) : TWinControl(owner), FAlive(std::make_shared<bool>(true)) {
  auto* w = new FormWidget(this);
  w->setAutoFillBackground(true);
  TControlAccess::Attach(*this, w);
  TForm::SetVisible(false);  // this class's own version: a descendant is not built yet
  Screen().AddForm(this);
  SetTabStop(false);
  ApplyWindowFlags();
  TForm::ColorChanged();
  FontChanged();
}

TForm::~TForm() {
  *FAlive = false;
  if (FModalLoop != nullptr) static_cast<QEventLoop*>(FModalLoop)->exit(0);
  if (OnDestroy && !HasState(csDesigning)) {
    try {
      OnDestroy(this);
    } catch (const std::exception& e) {
      Application().HandleException(this, e);
    }
  }
  Screen().RemoveForm(this);
  if (FormWidget* w = FormWidgetOf(this)) {
    w->closing = true;
    w->hide();
  }
}

void TForm::ReadDesign(std::string_view json) {
  static const bool registered = (RegisterControlClasses(), true);
  (void)registered;
  FDesignReport = ReadComponentDesign(*this, json);
}

void TForm::ReportDesignProblem(const std::string& problem) {
  FDesignReport.problems.push_back(problem);
}

void TForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
  FBorderStyle = style;
  ApplyWindowFlags();
}

void TForm::SetBorderIcons(TBorderIcons icons) {
  FBorderIcons = icons;
  ApplyWindowFlags();
}

void TForm::ApplyWindowFlags() {
  QWidget* w = WidgetOf(this);
  if (w == nullptr) return;
  Qt::WindowFlags flags = Qt::Window;
  switch (FBorderStyle) {
    case TFormBorderStyle::bsNone:
      flags |= Qt::FramelessWindowHint;
      break;
    case TFormBorderStyle::bsDialog:
      flags = Qt::Dialog | Qt::WindowTitleHint;
      break;
    case TFormBorderStyle::bsToolWindow:
    case TFormBorderStyle::bsSizeToolWin:
      flags = Qt::Tool | Qt::WindowTitleHint;
      break;
    default:
      flags |= Qt::WindowTitleHint;
      break;
  }
  if (FBorderStyle != TFormBorderStyle::bsNone) {
    flags |= Qt::CustomizeWindowHint;
    if (FBorderIcons & biSystemMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    bool dialogLike = FBorderStyle == TFormBorderStyle::bsDialog ||
                      FBorderStyle == TFormBorderStyle::bsToolWindow ||
                      FBorderStyle == TFormBorderStyle::bsSizeToolWin;
    if (!dialogLike && (FBorderIcons & biMinimize)) flags |= Qt::WindowMinimizeButtonHint;
    if (!dialogLike && (FBorderIcons & biMaximize)) flags |= Qt::WindowMaximizeButtonHint;
    if (FBorderIcons & biHelp) flags |= Qt::WindowContextHelpButtonHint;
  }
  bool visible = w->isVisible();
  static_cast<FormWidget*>(w)->framed = false;  // a window of another kind gets another frame
  w->setWindowFlags(flags);
  ApplyConstraints();
  if (visible) w->show();
}

namespace {
bool TFormResizable(TFormBorderStyle s) {
  return s == TFormBorderStyle::bsSizeable || s == TFormBorderStyle::bsSizeToolWin;
}
}  // namespace

void TForm::ApplyConstraints() {
  QWidget* w = WidgetOf(this);
  if (w == nullptr) return;
  if (!TFormResizable(FBorderStyle)) {
    w->setFixedSize(FClientWidth, FClientHeight);
    return;
  }
  TSizeConstraints c = FConstraints;
  if (OnConstrainedResize) OnConstrainedResize(this, c.MinWidth, c.MinHeight, c.MaxWidth, c.MaxHeight);
  QMargins m = FrameOf(w);
  int fw = m.left() + m.right(), fh = m.top() + m.bottom();
  w->setMinimumSize(std::max(0, c.MinWidth - fw), std::max(0, c.MinHeight - fh));
  w->setMaximumSize(c.MaxWidth > 0 ? std::max(1, c.MaxWidth - fw) : QWIDGETSIZE_MAX,
                    c.MaxHeight > 0 ? std::max(1, c.MaxHeight - fh) : QWIDGETSIZE_MAX);
}

void TForm::SetPosition(TPosition position) {
  FPosition = position;
}

TWindowState TForm::WindowState() const {
  QWidget* w = WidgetOf(this);
  if (w != nullptr && w->isVisible()) {
    if (w->isMinimized()) return TWindowState::wsMinimized;
    if (w->isMaximized()) return TWindowState::wsMaximized;
    return TWindowState::wsNormal;
  }
  return FWindowState;
}

void TForm::SetWindowState(TWindowState state) {
  FWindowState = state;
  QWidget* w = WidgetOf(this);
  if (w == nullptr || !w->isVisible()) return;
  ShowInState(*w, state, /*firstShowing=*/false);
}

void TForm::SetIconImage(std::string_view imageBytes) {
  FIconBytes = std::string(imageBytes);
  QWidget* w = WidgetOf(this);
  if (w == nullptr) return;
  if (FIconBytes.empty()) {
    w->setWindowIcon(QIcon());
    return;
  }
  QImage image;
  image.loadFromData(reinterpret_cast<const uchar*>(FIconBytes.data()), static_cast<int>(FIconBytes.size()));
  w->setWindowIcon(QIcon(QPixmap::fromImage(image)));
}

void TForm::SetBounds(int left, int top, int width, int height) {
  int oldW = TControl::Width(), oldH = TControl::Height();
  if ((width != oldW || height != oldH) && !FInResizeCheck) {
    int nw = width, nh = height;
    if (!CanResize(nw, nh)) {
      width = oldW;
      height = oldH;
    } else {
      width = nw;
      height = nh;
    }
  }
  SetOuterBounds(left, top, width, height);
}

void TForm::SetOuterBounds(int left, int top, int width, int height) {
  QWidget* w = WidgetOf(this);
  QMargins m = w ? FrameOf(w) : QMargins();
  FClientWidth = std::max(0, width - m.left() - m.right());
  FClientHeight = std::max(0, height - m.top() - m.bottom());
  FKeepClientSize = false;
  TControl::SetBounds(left, top, width, height);
}

bool TForm::Framed() const {
  FormWidget* w = FormWidgetOf(this);
  return w != nullptr && w->isVisible() && w->framed;
}

bool TForm::WaitUntilFramed(int timeoutMs) {
  FormWidget* w = FormWidgetOf(this);
  if (w == nullptr || !w->isVisible()) return false;
  if (!w->framed) {
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QPointer<FormWidget> alive(w);
    w->onFramed = [&loop] { loop.quit(); };
    timer.start(timeoutMs);
    loop.exec();
    if (alive.isNull()) return false;
    w->onFramed = nullptr;
  }
  Application().ProcessMessages();
  return Framed();
}

void TForm::BoundsChanged() {
  QWidget* w = WidgetOf(this);
  if (w != nullptr) {
    ApplyConstraints();
    w->move(Left(), Top());
    w->resize(FClientWidth, FClientHeight);
  }
  Realign();
}

void TForm::SetClientWidth(int v) {
  QWidget* w = WidgetOf(this);
  QMargins m = w ? FrameOf(w) : QMargins();
  FClientWidth = v;
  FKeepClientSize = true;
  TControl::SetBounds(Left(), Top(), v + m.left() + m.right(), TControl::Height());
  BoundsChanged();
}

void TForm::SetClientHeight(int v) {
  QWidget* w = WidgetOf(this);
  QMargins m = w ? FrameOf(w) : QMargins();
  FClientHeight = v;
  FKeepClientSize = true;
  TControl::SetBounds(Left(), Top(), TControl::Width(), v + m.top() + m.bottom());
  BoundsChanged();
}

void TForm::SetConstraints(const TSizeConstraints& c) {
  FConstraints = c;
  ApplyConstraints();
}

bool TForm::CanResize(int& newWidth, int& newHeight) {
  bool resize = true;
  if (OnCanResize) {
    FInResizeCheck = true;
    try {
      OnCanResize(this, newWidth, newHeight, resize);
    } catch (...) {
      FInResizeCheck = false;
      throw;
    }
    FInResizeCheck = false;
  }
  return resize;
}

void TForm::SetActiveControl(TWinControl* control) {
  FActiveControl = control;
  if (control != nullptr && Showing()) control->SetFocus();
}

void TForm::UpdateOuterFromWidget() {
  FormWidget* w = FormWidgetOf(this);
  QMargins m = FrameOf(w);
  FClientWidth = w->width();
  FClientHeight = w->height();
  int width = FClientWidth + m.left() + m.right(), height = FClientHeight + m.top() + m.bottom();
  // Until the window is framed its frame lies where the form put it.
  QPoint topLeft = w->framed ? w->frameGeometry().topLeft() : QPoint(Left(), Top());
  TControl::SetBounds(topLeft.x(), topLeft.y(), width, height);
}

void TForm::WidgetFramed() {
  FormWidget* w = FormWidgetOf(this);
  if (FKeepClientSize || w->isMinimized() || w->isMaximized() || w->isFullScreen()) {
    // A client size asked for stays; the outer bounds take the real frame around it.
    UpdateOuterFromWidget();
    Realign();
    return;
  }
  // The outer bounds stay what the program or the placement rule chose; the client area takes what the
  // real frame leaves. Bounds set before the window was framed counted on the frame expected for its kind,
  // so this changes nothing unless that frame was not the real one.
  QMargins m = FrameOf(w);
  int clientWidth = std::max(0, TControl::Width() - m.left() - m.right());
  int clientHeight = std::max(0, TControl::Height() - m.top() - m.bottom());
  if (clientWidth == FClientWidth && clientHeight == FClientHeight && w->width() == clientWidth &&
      w->height() == clientHeight && w->frameGeometry().topLeft() == QPoint(Left(), Top())) {
    return;
  }
  FClientWidth = clientWidth;
  FClientHeight = clientHeight;
  BoundsChanged();
}

void TForm::WidgetMoved(int left, int top) {
  if (FInMoveCheck) return;
  QWidget* w = WidgetOf(this);
  if (w->isVisible() && FPlaced && FormWidgetOf(this)->framed && (left != Left() || top != Top()) &&
      !w->isMinimized() && !w->isMaximized()) {
    // A move the window system made (the title bar dragged): the form may swallow it as SC_MOVE.
    bool handled = false;
    SystemCommand(SC_MOVE, handled);
    if (handled) {
      FInMoveCheck = true;
      w->move(Left(), Top());
      FInMoveCheck = false;
      return;
    }
  }
  if (w->isVisible()) UpdateOuterFromWidget();
}

void TForm::WidgetResized(int clientWidth, int clientHeight) {
  QWidget* w = WidgetOf(this);
  if (clientWidth == FClientWidth && clientHeight == FClientHeight) {
    Realign();
    return;
  }
  if (w->isVisible() && !FInResizeCheck) {
    QMargins m = FrameOf(w);
    int nw = clientWidth + m.left() + m.right(), nh = clientHeight + m.top() + m.bottom();
    if (!CanResize(nw, nh)) {
      FInResizeCheck = true;
      w->resize(FClientWidth, FClientHeight);
      FInResizeCheck = false;
      return;
    }
  }
  if (w->isVisible()) UpdateOuterFromWidget();
  Realign();
  if (OnResize && !HasState(csReading)) Application().RunHandler(this, [this] { OnResize(this); });
}

TSize TForm::DefaultSize(const TRect& /*workArea*/) const {
  return {TControl::Width(), TControl::Height()};
}

void TForm::ApplyPlacement() {
  QWidget* w = WidgetOf(this);
  TRect work = Screen().WorkAreaRect();
  if (FPosition == TPosition::poDefault || FPosition == TPosition::poDefaultSizeOnly) {
    // The window system picks the size: the one the form asks for, within the work area.
    TSize size = DefaultSize(work);
    SetOuterBounds(Left(), Top(), std::clamp(size.cx, 1, std::max(1, work.Width())),
                   std::clamp(size.cy, 1, std::max(1, work.Height())));
  } else if (FKeepClientSize) {
    // A client size asked for: the outer size takes the frame expected now.
    QMargins m = FrameOf(w);
    TControl::SetBounds(Left(), Top(), FClientWidth + m.left() + m.right(),
                        FClientHeight + m.top() + m.bottom());
  }
  int width = TControl::Width(), height = TControl::Height();
  auto centreOn = [&](const TRect& r) {
    TControl::SetBounds(r.Left + (r.Width() - width) / 2, r.Top + (r.Height() - height) / 2, width, height);
  };
  switch (FPosition) {
    case TPosition::poScreenCenter:
      centreOn(Bounds(0, 0, Screen().Width(), Screen().Height()));
      break;
    case TPosition::poDesktopCenter:
      centreOn(work);
      break;
    case TPosition::poMainFormCenter:
    case TPosition::poOwnerFormCenter: {
      TForm* other =
          FPosition == TPosition::poMainFormCenter ? Application().MainForm() : dynamic_cast<TForm*>(Owner());
      if (other != nullptr && other != this && other->Showing()) {
        centreOn(other->BoundsRect());
      } else {
        centreOn(work);
      }
      break;
    }
    case TPosition::poDefault:
      // Size and place both left to the window system: centred in the work area.
      centreOn(work);
      break;
    case TPosition::poDefaultPosOnly: {
      // The window system's default cascade position, inside the work area.
      static int cascade = 0;
      int offset = 24 + (cascade++ % 8) * 24;
      TControl::SetBounds(work.Left + offset, work.Top + offset, width, height);
      break;
    }
    default:
      break;
  }
  w->move(Left(), Top());
  w->resize(FClientWidth, FClientHeight);
}

void TForm::ShowingChanged() {
  FormWidget* w = FormWidgetOf(this);
  if (w == nullptr) return;
  if (Visible()) {
    if (!FPlaced) ApplyPlacement();
    ApplyConstraints();
    if (OnShow) OnShow(this);
    ShowInState(*w, FWindowState, /*firstShowing=*/true);
    FPlaced = true;
    if (FActiveControl != nullptr) {
      FActiveControl->SetFocus();
    } else {
      // No active control named: the first control in tab order takes the focus.
      TWinControl* first = nullptr;
      for (int i = 0; i < ControlCount(); ++i) {
        auto* c = dynamic_cast<TWinControl*>(Controls(i));
        if (c != nullptr && c->TabStop() && c->Visible() && c->Enabled() &&
            (first == nullptr || c->TabOrder() < first->TabOrder())) {
          first = c;
        }
      }
      if (first != nullptr) first->SetFocus();
    }
    w->activateWindow();
  } else {
    if (OnHide) OnHide(this);
    w->closing = true;
    w->hide();
    w->closing = false;
    w->framed = false;
  }
}

void TForm::SetVisible(bool visible) {
  if (visible == Visible() && (WidgetOf(this) == nullptr || WidgetOf(this)->isVisible() == visible)) return;
  TControl::SetVisible(visible);
  if (WidgetOf(this) != nullptr) ShowingChanged();
}

void TForm::SystemCommand(unsigned /*command*/, bool& /*handled*/) {}

void TForm::PerformSystemCommand(unsigned command) {
  bool handled = false;
  SystemCommand(command, handled);
  if (handled) return;
  switch (command & 0xFFF0u) {
    case SC_CLOSE:
      Close();
      break;
    case SC_MINIMIZE:
      SetWindowState(TWindowState::wsMinimized);
      break;
    case SC_MAXIMIZE:
      SetWindowState(TWindowState::wsMaximized);
      break;
    case SC_RESTORE:
      SetWindowState(TWindowState::wsNormal);
      break;
    default:
      break;  // moving and sizing are the user's own gestures
  }
}

TModalResult TForm::ShowModal() {
  if (Visible() || FModal) throw Exception(MessageCp932("app.modal-visible"));
  QWidget* w = WidgetOf(this);
  FModal = true;
  FModalResult = mrNone;
  w->setWindowModality(Qt::ApplicationModal);
  std::shared_ptr<bool> alive = FAlive;
  Show();
  QEventLoop loop;
  FModalLoop = &loop;
  while (true) {
    if (FModalResult == mrNone) loop.exec();
    if (!*alive) return mrCancel;
    if (Application().Terminated()) {
      FModalResult = mrCancel;
      break;
    }
    if (FModalResult != mrNone) {
      CloseModal();
      if (FModalResult != mrNone) break;
    }
  }
  FModalLoop = nullptr;
  FModal = false;
  TModalResult result = FModalResult;
  if (*alive) {
    Hide();
    w->setWindowModality(Qt::NonModal);
  }
  return result;
}

void TForm::CloseModal() {
  TCloseAction action = TCloseAction::caNone;
  if (CloseQuery()) {
    action = TCloseAction::caHide;
    DoClose(action);
  }
  switch (action) {
    case TCloseAction::caNone:
      FModalResult = mrNone;
      break;
    case TCloseAction::caFree:
      Release();
      break;
    default:
      break;
  }
}

void TForm::SetModalResult(TModalResult result) {
  FModalResult = result;
  if (FModal && result != mrNone && FModalLoop != nullptr) static_cast<QEventLoop*>(FModalLoop)->exit(0);
}

bool TForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

void TForm::Close() {
  if (FModal) {
    SetModalResult(mrCancel);
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = TCloseAction::caHide;
  DoClose(action);
  if (action == TCloseAction::caNone) return;
  if (Application().MainForm() == this) {
    Application().Terminate();
  } else if (action == TCloseAction::caHide) {
    Hide();
  } else if (action == TCloseAction::caMinimize) {
    SetWindowState(TWindowState::wsMinimized);
  } else {
    Release();
  }
}

void TForm::WidgetCloseRequested() {
  PerformSystemCommand(SC_CLOSE);
}

void TForm::Release() {
  std::weak_ptr<bool> alive = FAlive;
  TForm* self = this;
  QTimer::singleShot(0, [alive, self] {
    if (auto a = alive.lock(); a && *a) delete self;
  });
}

void TForm::CaptionChanged() {
  if (QWidget* w = WidgetOf(this)) w->setWindowTitle(ToQString(Caption()));
}

void TForm::ColorChanged() {
  if (QWidget* w = WidgetOf(this)) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, ToQColor(Color()));
    w->setPalette(pal);
  }
}

void TForm::DefineProperties(TFiler& filer) {
  filer.Integer(
      "Left", [this] { return Left(); }, [this](int v) { SetLeft(v); });
  filer.Integer(
      "Top", [this] { return Top(); }, [this](int v) { SetTop(v); });
  // Forms store their client size: the frame belongs to the window system.
  filer.Integer(
      "ClientWidth", [this] { return FClientWidth; }, [this](int v) { SetClientWidth(v); });
  filer.Integer(
      "ClientHeight", [this] { return FClientHeight; }, [this](int v) { SetClientHeight(v); });
  DefineCaptionProperty(filer);
  DefineEnumProperty<TFormBorderStyle>(
      filer, "BorderStyle", kBorderStyleNames, [this] { return FBorderStyle; },
      [this](TFormBorderStyle s) { SetBorderStyle(s); });
  DefineSetProperty(
      filer, "BorderIcons",
      {{biSystemMenu, "biSystemMenu"},
       {biMinimize, "biMinimize"},
       {biMaximize, "biMaximize"},
       {biHelp, "biHelp"}},
      [this] { return FBorderIcons; }, [this](unsigned v) { SetBorderIcons(v); });
  DefineEnumProperty<TPosition>(
      filer, "Position", kPositionNames, [this] { return FPosition; },
      [this](TPosition p) { SetPosition(p); });
  DefineEnumProperty<TWindowState>(
      filer, "WindowState", kWindowStateNames, [this] { return FWindowState; },
      [this](TWindowState s) { FWindowState = s; }, FWindowState != TWindowState::wsNormal);
  filer.Integer(
      "Color", [this] { return static_cast<int>(Color()); }, [this](int v) { SetColor(v); });
  // The font is stored by its own definer, as a control's is, and always: a form has no parent whose font it
  // could take. The filer reads and writes during the call, so the copy lives long enough.
  TControlFont font = Font();
  font.DefineProperties(
      filer, "Font.", [this, &font] { SetFont(font); }, true);
  filer.Integer(
      "PixelsPerInch", [] { return 96; }, [](int) {});
  filer.Integer(
      "Constraints.MinWidth", [this] { return FConstraints.MinWidth; },
      [this](int v) { FConstraints.MinWidth = v; }, FConstraints.MinWidth != 0);
  filer.Integer(
      "Constraints.MinHeight", [this] { return FConstraints.MinHeight; },
      [this](int v) { FConstraints.MinHeight = v; }, FConstraints.MinHeight != 0);
  filer.Boolean(
      "KeyPreview", [this] { return FKeyPreview; }, [this](bool v) { FKeyPreview = v; }, FKeyPreview);
  filer.String(
      "ActiveControl",
      [this] { return FActiveControl ? Cp932String::FromBytes(FActiveControl->Name()) : Cp932String(); },
      [this](const Cp932String& name) {
        auto* c = dynamic_cast<TWinControl*>(FindComponent(name.Bytes()));
        if (c == nullptr)
          throw EReadError(Cp932String::FromBytes("ActiveControl " + name.Bytes() + " not found"));
        FActiveControl = c;
      },
      FActiveControl != nullptr);
  DefineEvent(filer, "OnCreate", this, OnCreate, FOnCreateName);
  DefineEvent(filer, "OnDestroy", this, OnDestroy, FOnDestroyName);
  DefineEvent(filer, "OnShow", this, OnShow, FOnShowName);
  DefineEvent(filer, "OnHide", this, OnHide, FOnHideName);
  DefineEvent(filer, "OnActivate", this, OnActivate, FOnActivateName);
  DefineEvent(filer, "OnDeactivate", this, OnDeactivate, FOnDeactivateName);
  DefineEvent(filer, "OnClose", this, OnClose, FOnCloseName);
  DefineEvent(filer, "OnCloseQuery", this, OnCloseQuery, FOnCloseQueryName);
  DefineEvent(filer, "OnCanResize", this, OnCanResize, FOnCanResizeName);
  DefineEvent(filer, "OnConstrainedResize", this, OnConstrainedResize, FOnConstrainedResizeName);
  DefineEvent(filer, "OnKeyDown", this, OnKeyDown, FOnKeyDownName);
  DefineEvent(filer, "OnResize", this, OnResize, FOnResizeName);
  DefineEvent(filer, "OnMouseWheel", this, OnMouseWheel, FOnMouseWheelName);
}

void TForm::Loaded() {
  TWinControl::Loaded();
  ApplyWindowFlags();
  CaptionChanged();
}

TForm* ParentFormOf(TControl* control) {
  for (TControl* p = control; p != nullptr; p = p->Parent()) {
    if (auto* f = dynamic_cast<TForm*>(p)) return f;
  }
  return nullptr;
}

}  // namespace tess

#pragma once
// The application object and the screen: title, main form, message loop, message boxes, the general
// handler for exceptions that leave event handlers, the screen cursor, screen size and work area, and the
// open forms.

#include <exception>
#include <functional>
#include <vector>

#include "platform/components/Component.h"
#include "platform/core/Cp932String.h"
#include "platform/ui/Types.h"

namespace tess {

class TForm;

enum class TMsgIcon { None, Error, Warning, Information, Question };
enum class TMsgButtons { Ok, OkCancel, YesNo, YesNoCancel };

struct TMessageBoxRequest {
  Cp932String Text;
  Cp932String Caption;
  TMsgIcon Icon = TMsgIcon::None;
  TMsgButtons Buttons = TMsgButtons::Ok;
};

// Stands in for the modal message box (tests capture the boxes instead of showing them).
using TMessageBoxHook = std::function<TModalResult(const TMessageBoxRequest&)>;
using TExceptionEvent = std::function<void(TComponent* Sender, const std::exception& E)>;

class TApplication : public TComponent {
  TESS_COMPONENT_CLASS(TApplication, TComponent)
 public:
  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  // Starts the window system (arguments of the program may be passed on).
  void Initialize(int argc = 0, char** argv = nullptr);
  const Cp932String& Title() const { return FTitle; }
  void SetTitle(const Cp932String& title);

  // Creates a form owned by the application; the first one becomes the main form.
  template <class T>
  T* CreateForm() {
    T* form = new T(this);
    if (FMainForm == nullptr) FMainForm = form;
    return form;
  }
  TForm* MainForm() const { return FMainForm; }
  void SetMainForm(TForm* form) { FMainForm = form; }

  // Shows the main form and runs the message loop until it closes (or Terminate is called).
  void Run();
  void Terminate();
  bool Terminated() const { return FTerminated; }
  // Lets pending window messages run (in the middle of a long step).
  void ProcessMessages();
  // Frees every component the application owns (the forms), last first.
  void DestroyComponents();

  TModalResult MessageBox(const Cp932String& text, const Cp932String& caption, TMsgIcon icon = TMsgIcon::None,
                          TMsgButtons buttons = TMsgButtons::Ok);
  // Returns the previous hook.
  TMessageBoxHook SetMessageBoxHook(TMessageBoxHook hook);

  // The general handler: OnException when assigned, else ShowException.
  void HandleException(TComponent* sender, const std::exception& e);
  // An error box titled with the application title: the exception's message followed by ".".
  void ShowException(const std::exception& e);
  // Runs an event handler; an exception leaving it goes to the general handler.
  void RunHandler(TComponent* sender, const std::function<void()>& handler);
  TExceptionEvent OnException;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  Cp932String FTitle;
  TForm* FMainForm = nullptr;
  bool FTerminated = false;
  TMessageBoxHook FMessageBoxHook;
};

// The one application object of the program.
TApplication& Application();

// The message text of an exception as the framework shows it (code page 932).
Cp932String ExceptionMessage(const std::exception& e);

class TScreen {
 public:
  int Width() const;
  int Height() const;
  // The desktop work area (the screen without task bars and docks).
  TRect WorkAreaRect() const;
  int PixelsPerInch() const { return 96; }
  // Where the mouse pointer is, in screen coordinates.
  TPoint CursorPos() const;

  // The screen cursor: crDefault shows each control's own cursor; any other value overrides them all
  // (crHourGlass is the busy cursor) until crDefault is set again.
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor cursor);

  int FormCount() const { return static_cast<int>(FForms.size()); }
  TForm* Forms(int index) const { return FForms.at(static_cast<std::size_t>(index)); }
  TForm* ActiveForm() const;

 private:
  friend class TForm;
  void AddForm(TForm* form) { FForms.push_back(form); }
  void RemoveForm(TForm* form);
  TCursor FCursor = crDefault;
  std::vector<TForm*> FForms;
};

TScreen& Screen();

}  // namespace tess

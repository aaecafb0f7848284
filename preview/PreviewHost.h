#pragma once
// What the preview engine needs from the application around it: message boxes, the application title, the
// screen cursor, letting pending window messages run, and the process-wide keyboard state. The engine calls
// only this interface; the program connects it to its application services, tests put in an observer.
// The default host does nothing visible: it answers message boxes with OK, keeps the cursor and the
// keyboard state in memory and has an empty title.

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/core/Cp932String.h"
#include "preview/PreviewTypes.h"
#include "preview/PreviewWindow.h"

namespace tess {

// Virtual-key code of the Control key, and the keyboard-state bits GetKeyboardState reports.
namespace plprev {
constexpr int VK_CONTROL = 0x11;
}  // namespace plprev
constexpr std::uint8_t kKeyDown = 0x80;
constexpr std::uint8_t kKeyToggled = 0x01;

enum class TPreviewMsgIcon { Warning, Information };

using TKeyboardState = std::array<std::uint8_t, 256>;

// A form the application knows, and its preview-window face when it is one (else nullptr).
struct TFormRef {
  TComponent* Form = nullptr;
  IplPrevWindow* Window = nullptr;
};

// Window messages a foreign form's handler passes on to the preview component.
enum class TForeignMessage { Close, ShowWindow };

class TPreviewHost {
 public:
  virtual ~TPreviewHost() = default;
  virtual void MessageBox(const Cp932String& text, const Cp932String& caption, TPreviewMsgIcon icon);
  virtual Cp932String ApplicationTitle() { return {}; }
  virtual void ProcessMessages() {}
  virtual plprev::TCursor ScreenCursor() { return FCursor; }
  virtual void SetScreenCursor(plprev::TCursor cursor) { FCursor = cursor; }
  // GetKeyboardState / SetKeyboardState: one byte per virtual key.
  virtual TKeyboardState GetKeyboardState() { return FKeys; }
  virtual void SetKeyboardState(const TKeyboardState& keys) { FKeys = keys; }

  // The application's open forms in screen order, and the components the application object owns.
  virtual std::vector<TFormRef> OpenForms() { return {}; }
  virtual std::vector<TFormRef> ApplicationComponents() { return {}; }
  // A new preview window owned by `owner`, or nullptr where there is no window layer.
  virtual IplPrevWindow* CreatePreviewWindow(TComponent* /*owner*/) { return nullptr; }
  // Shows a form that is not a preview window modally; `afterMessage` runs after the form's own handler
  // has handled a close or show-window message.
  virtual void ShowForeignFormModal(TComponent* /*form*/,
                                    const std::function<void(TForeignMessage)>& /*afterMessage*/) {}

 private:
  plprev::TCursor FCursor = plprev::crDefault;
  TKeyboardState FKeys{};
};

// The host in use (never null: the default host until one is set). SetPreviewHost(nullptr) puts the
// default back; the caller keeps ownership of what it sets.
TPreviewHost& PreviewHost();
void SetPreviewHost(TPreviewHost* host);

}  // namespace tess

#pragma once
// The preview engine's host connected to the program's application services: message boxes and the title
// of the application object, its message loop, the screen cursor, its open forms and owned components. The
// keyboard state is the process-wide one the host keeps (the window layer has no keyboard state of its
// own). New preview windows come from the factory the preview window's unit registers.

#include <functional>

#include "preview/PreviewHost.h"

namespace tess {

using TPreviewWindowFactory = std::function<IplPrevWindow*(TComponent* owner)>;

class TApplicationPreviewHost : public TPreviewHost {
 public:
  void MessageBox(const Cp932String& text, const Cp932String& caption, TPreviewMsgIcon icon) override;
  Cp932String ApplicationTitle() override;
  void ProcessMessages() override;
  plprev::TCursor ScreenCursor() override;
  void SetScreenCursor(plprev::TCursor cursor) override;
  std::vector<TFormRef> OpenForms() override;
  std::vector<TFormRef> ApplicationComponents() override;
  IplPrevWindow* CreatePreviewWindow(TComponent* owner) override;
  // The form's show and close events run first, then `afterMessage`; the form's own handlers are put back
  // when the modal showing ends, also when it failed. A component that is not a form is an error.
  void ShowForeignFormModal(TComponent* form,
                            const std::function<void(TForeignMessage)>& afterMessage) override;
};

// The preview window's unit registers how a new window is made.
void SetPreviewWindowFactory(TPreviewWindowFactory factory);

// Makes the application-connected host the preview engine's host for the rest of the run.
void InstallApplicationPreviewHost();

}  // namespace tess

#pragma once
// Connects the preview engine to the application: its message boxes, title, screen cursor and pending
// messages, the open forms and the application's components, and preview windows created as plPrevForm
// (TplPrevForm). The program installs it once at start-up, before the first preview.

#include "preview/PreviewHost.h"

namespace tess {

class TApplicationPreviewHost : public TPreviewHost {
 public:
  void MessageBox(const Cp932String& text, const Cp932String& caption, TPreviewMsgIcon icon) override;
  Cp932String ApplicationTitle() override;
  void ProcessMessages() override;
  TCursor ScreenCursor() override;
  void SetScreenCursor(TCursor cursor) override;
  std::vector<TFormRef> OpenForms() override;
  std::vector<TFormRef> ApplicationComponents() override;
  // A new TplPrevForm owned by `owner`.
  IplPrevWindow* CreatePreviewWindow(TComponent* owner) override;
  // Shows a form that is not a preview window modally; its show and close are passed on after the form's
  // own handlers have run.
  void ShowForeignFormModal(TComponent* form,
                            const std::function<void(TForeignMessage)>& afterMessage) override;
};

// Installs one TApplicationPreviewHost for the rest of the process (calling it again changes nothing).
void InstallPreviewWindowHost();

}  // namespace tess

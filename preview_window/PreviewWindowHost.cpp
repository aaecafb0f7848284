#include "preview_window/PreviewWindowHost.h"

#include "platform/Application.h"
#include "platform/Exceptions.h"
#include "platform/Forms.h"
#include "preview_window/PLPREVFRM.h"

namespace tess {

void TApplicationPreviewHost::MessageBox(const Cp932String& text, const Cp932String& caption,
                                         TPreviewMsgIcon icon) {
  Application().MessageBox(text, caption,
                           icon == TPreviewMsgIcon::Warning ? TMsgIcon::Warning : TMsgIcon::Information,
                           TMsgButtons::Ok);
}

Cp932String TApplicationPreviewHost::ApplicationTitle() {
  return Application().Title();
}

void TApplicationPreviewHost::ProcessMessages() {
  Application().ProcessMessages();
}

TCursor TApplicationPreviewHost::ScreenCursor() {
  return Screen().Cursor();
}

void TApplicationPreviewHost::SetScreenCursor(TCursor cursor) {
  Screen().SetCursor(cursor);
}

std::vector<TFormRef> TApplicationPreviewHost::OpenForms() {
  std::vector<TFormRef> forms;
  for (int i = 0; i < Screen().FormCount(); ++i) {
    TForm* form = Screen().Forms(i);
    forms.push_back({form, dynamic_cast<IplPrevWindow*>(form)});
  }
  return forms;
}

std::vector<TFormRef> TApplicationPreviewHost::ApplicationComponents() {
  std::vector<TFormRef> components;
  TApplication& application = Application();
  for (int i = 0; i < application.ComponentCount(); ++i) {
    TComponent* c = application.Components(i);
    components.push_back({c, dynamic_cast<IplPrevWindow*>(c)});
  }
  return components;
}

IplPrevWindow* TApplicationPreviewHost::CreatePreviewWindow(TComponent* owner) {
  return new TplPrevForm(owner);
}

void TApplicationPreviewHost::ShowForeignFormModal(TComponent* component,
                                                   const std::function<void(TForeignMessage)>& afterMessage) {
  auto* form = dynamic_cast<TForm*>(component);
  if (form == nullptr) throw Exception("The preview form is not a window");
  TNotifyEvent savedShow = form->OnShow;
  TCloseEvent savedClose = form->OnClose;
  form->OnShow = [savedShow, afterMessage](TComponent* sender) {
    if (savedShow) savedShow(sender);
    afterMessage(TForeignMessage::ShowWindow);
  };
  form->OnClose = [savedClose, afterMessage](TComponent* sender, TCloseAction& action) {
    if (savedClose) savedClose(sender, action);
    afterMessage(TForeignMessage::Close);
  };
  // The form's own handlers are put back however the modal showing ends.
  struct Restore {
    TForm* form;
    TNotifyEvent show;
    TCloseEvent close;
    ~Restore() {
      // A form freed on closing has nothing to put back.
      for (int i = 0; i < Screen().FormCount(); ++i) {
        if (Screen().Forms(i) != form) continue;
        form->OnShow = show;
        form->OnClose = close;
      }
    }
  } restore{form, savedShow, savedClose};
  form->ShowModal();
}

void InstallPreviewWindowHost() {
  static TApplicationPreviewHost host;
  SetPreviewHost(&host);
}

}  // namespace tess

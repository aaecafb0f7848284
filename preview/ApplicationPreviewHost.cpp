#include "preview/ApplicationPreviewHost.h"

#include "platform/core/Exceptions.h"
#include "platform/core/ScopeGuard.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"

namespace tess {
namespace {

TPreviewWindowFactory& WindowFactory() {
  static TPreviewWindowFactory factory;
  return factory;
}

TFormRef RefOf(TComponent* component) {
  return TFormRef{component, dynamic_cast<IplPrevWindow*>(component)};
}

}  // namespace

void TApplicationPreviewHost::MessageBox(const Cp932String& text, const Cp932String& caption,
                                         TPreviewMsgIcon icon) {
  Application().MessageBox(text, caption,
                           icon == TPreviewMsgIcon::Warning ? TMsgIcon::Warning : TMsgIcon::Information);
}

Cp932String TApplicationPreviewHost::ApplicationTitle() {
  return Application().Title();
}

void TApplicationPreviewHost::ProcessMessages() {
  Application().ProcessMessages();
}

plprev::TCursor TApplicationPreviewHost::ScreenCursor() {
  return Screen().Cursor();
}

void TApplicationPreviewHost::SetScreenCursor(plprev::TCursor cursor) {
  Screen().SetCursor(cursor);
}

std::vector<TFormRef> TApplicationPreviewHost::OpenForms() {
  std::vector<TFormRef> forms;
  forms.reserve(static_cast<std::size_t>(Screen().FormCount()));
  for (int i = 0; i < Screen().FormCount(); ++i) forms.push_back(RefOf(Screen().Forms(i)));
  return forms;
}

std::vector<TFormRef> TApplicationPreviewHost::ApplicationComponents() {
  std::vector<TFormRef> components;
  components.reserve(static_cast<std::size_t>(Application().ComponentCount()));
  for (int i = 0; i < Application().ComponentCount(); ++i) {
    components.push_back(RefOf(Application().Components(i)));
  }
  return components;
}

IplPrevWindow* TApplicationPreviewHost::CreatePreviewWindow(TComponent* owner) {
  return WindowFactory() ? WindowFactory()(owner) : nullptr;
}

void TApplicationPreviewHost::ShowForeignFormModal(TComponent* component,
                                                   const std::function<void(TForeignMessage)>& afterMessage) {
  auto* form = dynamic_cast<TForm*>(component);
  if (form == nullptr) throw Exception(Cp932String::FromBytes("not a form"));
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
  // The form's own handlers are put back however the modal showing ends; a form freed on closing has
  // nothing to put back.
  TScopeGuard restore([form, savedShow, savedClose] {
    for (int i = 0; i < Screen().FormCount(); ++i) {
      if (Screen().Forms(i) != form) continue;
      form->OnShow = savedShow;
      form->OnClose = savedClose;
    }
  });
  form->ShowModal();
}

void SetPreviewWindowFactory(TPreviewWindowFactory factory) {
  WindowFactory() = std::move(factory);
}

void InstallApplicationPreviewHost() {
  static TApplicationPreviewHost host;
  SetPreviewHost(&host);
}

}  // namespace tess

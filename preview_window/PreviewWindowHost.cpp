#include "preview_window/PreviewWindowHost.h"

#include "preview/ApplicationPreviewHost.h"
#include "preview_window/PreviewWindowForm.h"

namespace tess {

void InstallPreviewWindowHost() {
  SetPreviewWindowFactory([](TComponent* owner) -> IplPrevWindow* { return new TplPrevForm(owner); });
  InstallApplicationPreviewHost();
}

}  // namespace tess

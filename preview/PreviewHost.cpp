#include "preview/PreviewHost.h"

namespace tess {
namespace {

TPreviewHost* gHost = nullptr;

TPreviewHost& DefaultHost() {
  static TPreviewHost host;
  return host;
}

}  // namespace

void TPreviewHost::MessageBox(const Cp932String& /*text*/, const Cp932String& /*caption*/,
                              TPreviewMsgIcon /*icon*/) {}

TPreviewHost& PreviewHost() {
  return gHost != nullptr ? *gHost : DefaultHost();
}

void SetPreviewHost(TPreviewHost* host) {
  gHost = host;
}

}  // namespace tess

#include "platform/core/PlatformFamily.h"

namespace tess {
namespace {
TPlatformFamily gFamily = TPlatformFamily::WindowsNT;
}

TPlatformFamily PlatformFamily() {
  return gFamily;
}
void SetPlatformFamily(TPlatformFamily family) {
  gFamily = family;
}

}  // namespace tess

#include "platform/components/Events.h"

namespace tess {

const std::any* FindPublishedMethod(const TComponent* component, std::string_view name) {
  for (const TComponent* c = component; c != nullptr; c = c->Owner()) {
    if (auto* methods = dynamic_cast<const TPublishedMethods*>(c)) {
      if (const std::any* m = methods->FindMethod(name)) return m;
    }
  }
  return nullptr;
}

}  // namespace tess

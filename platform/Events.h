#pragma once
// Event types of the component framework: optional callbacks, called only when assigned.

#include <functional>

namespace tess {

class TComponent;

// An event with only its sender (a component, or a dialog that is one).
using TNotifyEvent = std::function<void(TComponent* Sender)>;

}  // namespace tess

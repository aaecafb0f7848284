#pragma once
// Events: optional callbacks, called only when assigned, with the component as Sender. A stored design names
// the handler of an event by the name of a method its form publishes (`"OnClick": "SquareNumsClick"`).

#include <any>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "platform/components/Component.h"
#include "platform/components/InputTypes.h"
#include "platform/components/StoredValue.h"
#include "platform/core/Exceptions.h"
#include "platform/gfx/Geometry.h"

namespace tess {

enum class TCloseAction { caNone, caHide, caFree, caMinimize };
enum class TDragState { dsDragEnter, dsDragLeave, dsDragMove };

using TNotifyEvent = std::function<void(TComponent* Sender)>;
using TMouseEvent =
    std::function<void(TComponent* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TComponent* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent = std::function<void(TComponent* Sender, TShiftState Shift, int WheelDelta,
                                            TPoint MousePos, bool& Handled)>;
// A key went down: Key is its virtual-key code (platform/components/InputTypes.h); a handler that sets it to
// 0 takes the key, and nothing else sees it.
using TKeyEvent = std::function<void(TComponent* Sender, int& Key, TShiftState Shift)>;
using TDragOverEvent =
    std::function<void(TComponent* Sender, TComponent* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TComponent* Sender, TComponent* Source, int X, int Y)>;
using TEndDragEvent = std::function<void(TComponent* Sender, TComponent* Target, int X, int Y)>;
using TCloseEvent = std::function<void(TComponent* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TComponent* Sender, bool& CanClose)>;
using TCanResizeEvent = std::function<void(TComponent* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;
using TConstrainedResizeEvent =
    std::function<void(TComponent* Sender, int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight)>;

// The methods a form publishes by name, so its stored design can bind events to them. Each is stored with
// its exact event type; binding it to an event of another type is a read error.
class TPublishedMethods {
 public:
  virtual ~TPublishedMethods() = default;
  template <class TEvent, class F>
  void PublishMethod(const std::string& name, F&& method) {
    FMethods[name] = std::any(TEvent(std::forward<F>(method)));
  }
  const std::any* FindMethod(std::string_view name) const {
    auto it = FMethods.find(name);
    return it == FMethods.end() ? nullptr : &it->second;
  }

 private:
  std::map<std::string, std::any, std::less<>> FMethods;
};

// The published method `name` of the first owner (from `component` upwards) that publishes methods.
const std::any* FindPublishedMethod(const TComponent* component, std::string_view name);

// Declares an event property: stored as the handler's method name, bound on reading.
template <class TEvent>
void DefineEvent(TFiler& filer, std::string_view property, const TComponent* self, TEvent& event,
                 std::string& methodName) {
  filer.DefineProperty(
      property,
      [self, &event, &methodName](TReader& reader) {
        std::string name = reader.ReadIdent().Bytes();
        if (name.empty()) {
          event = nullptr;
          methodName.clear();
          return;
        }
        const std::any* method = FindPublishedMethod(self, name);
        if (method == nullptr) throw EReadError(Cp932String::FromBytes("Method " + name + " not found"));
        const TEvent* typed = std::any_cast<TEvent>(method);
        if (typed == nullptr) {
          throw EReadError(Cp932String::FromBytes("Method " + name + " does not fit the event"));
        }
        event = *typed;
        methodName = name;
      },
      [&methodName](TWriter& writer) { writer.WriteIdent(Cp932String::FromBytes(methodName)); },
      !methodName.empty());
}

}  // namespace tess

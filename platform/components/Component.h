#pragma once
// The component framework: components with an owner that frees them, a name unique among the owner's
// components, free-notification, a state (reading, loading, designing), stored properties and Loaded.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/components/StoredValue.h"
#include "platform/core/Cp932String.h"

namespace tess {

enum class TOperation { opInsert, opRemove };

// Component state flags (csReading, csLoading, csDesigning, csDestroying).
enum TComponentStateFlag : unsigned {
  csReading = 1u << 0,
  csLoading = 1u << 1,
  csDesigning = 1u << 2,
  csDestroying = 1u << 3,
};

// Every component class names itself and its direct parent class; the preview looks windows up by the
// name of their parent class.
#define TESS_COMPONENT_CLASS(Name, Parent)         \
 public:                                           \
  static constexpr const char* StaticClassName() { \
    return #Name;                                  \
  }                                                \
  const char* ClassName() const override {         \
    return #Name;                                  \
  }                                                \
  const char* ClassParentName() const override {   \
    return #Parent;                                \
  }                                                \
                                                   \
 private:

class TComponent {
 public:
  explicit TComponent(TComponent* owner);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  static constexpr const char* StaticClassName() { return "TComponent"; }
  virtual const char* ClassName() const { return "TComponent"; }
  virtual const char* ClassParentName() const { return "TPersistent"; }

  TComponent* Owner() const { return FOwner; }
  const std::string& Name() const { return FName; }
  // Throws EComponentError when another component of the same owner has the name (case-insensitive).
  void SetName(std::string_view name);

  // Components owned (and freed) by this one, in insertion order.
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int index) const { return FComponents.at(static_cast<std::size_t>(index)); }
  TComponent* FindComponent(std::string_view name) const;
  // Take over a component from its current owner (or none).
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);

  // `component` is told (Notification with opRemove) when this component is destroyed, and the other way
  // round: the link is mutual, as a reference may point either way.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  unsigned ComponentState() const { return FState; }
  bool HasState(TComponentStateFlag flag) const { return (FState & flag) != 0; }
  // Design mode: applied to this component and everything it owns.
  void SetDesigning(bool designing);
  void SetReading(bool reading);  // csReading and csLoading together, as a stream read does
  void SetLoadingDone();          // clears csReading and csLoading on this component

  // Published properties and own stored data, in stored order (see TFiler).
  virtual void DefineProperties(TFiler& filer);
  // After every component of a stream was read.
  virtual void Loaded() {}

 protected:
  // A component this one owns or refers to is inserted or removed.
  virtual void Notification(TComponent* component, TOperation operation);

 private:
  TComponent* FOwner = nullptr;
  std::string FName;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  unsigned FState = 0;
};

class EComponentError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Creating components by class name when a stored design names a class its root does not create itself.
using TComponentFactory = std::function<TComponent*(TComponent* owner)>;
void RegisterComponentClass(std::string_view className, TComponentFactory factory);
TComponent* CreateComponentByClass(std::string_view className, TComponent* owner);  // nullptr if unknown

template <class T>
void RegisterComponentClass() {
  RegisterComponentClass(T::StaticClassName(), [](TComponent* owner) -> TComponent* { return new T(owner); });
}

}  // namespace tess

#include "platform/components/Component.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace tess {
namespace {

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::map<std::string, TComponentFactory, std::less<>>& Registry() {
  static std::map<std::string, TComponentFactory, std::less<>> registry;
  return registry;
}

}  // namespace

TComponent::TComponent(TComponent* owner) {
  if (owner != nullptr) {
    if (owner->HasState(csDesigning)) FState |= csDesigning;
    owner->InsertComponent(this);
  }
}

TComponent::~TComponent() {
  FState |= csDestroying;
  // Tell everyone who holds a reference to this component that it goes away.
  while (!FFreeNotifies.empty()) {
    TComponent* other = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    auto& back = other->FFreeNotifies;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
    other->Notification(this, TOperation::opRemove);
  }
  // Free what this component owns, last first.
  while (!FComponents.empty()) {
    TComponent* child = FComponents.back();
    FComponents.pop_back();
    child->FOwner = nullptr;
    delete child;
  }
  if (FOwner != nullptr) FOwner->RemoveComponent(this);
}

void TComponent::SetName(std::string_view name) {
  if (name == FName) return;
  if (FOwner != nullptr && !name.empty()) {
    for (TComponent* sibling : FOwner->FComponents) {
      if (sibling != this && SameName(sibling->FName, name)) {
        throw EComponentError("A component named " + std::string(name) + " already exists");
      }
    }
  }
  FName = std::string(name);
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : FComponents) {
    if (SameName(c->FName, name)) return c;
  }
  return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (component->FOwner == this) return;
  if (component->FOwner != nullptr) component->FOwner->RemoveComponent(component);
  if (!component->FName.empty() && FindComponent(component->FName) != nullptr) {
    throw EComponentError("A component named " + component->FName + " already exists");
  }
  FComponents.push_back(component);
  component->FOwner = this;
  Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  auto it = std::find(FComponents.begin(), FComponents.end(), component);
  if (it == FComponents.end()) return;
  Notification(component, TOperation::opRemove);
  // The notification may have changed the list; look again.
  it = std::find(FComponents.begin(), FComponents.end(), component);
  if (it != FComponents.end()) FComponents.erase(it);
  component->FOwner = nullptr;
}

void TComponent::FreeNotification(TComponent* component) {
  if (component == nullptr || component == this) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) == FFreeNotifies.end()) {
    FFreeNotifies.push_back(component);
  }
  auto& back = component->FFreeNotifies;
  if (std::find(back.begin(), back.end(), this) == back.end()) back.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), component),
                      FFreeNotifies.end());
  if (component != nullptr) {
    auto& back = component->FFreeNotifies;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
  }
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove && component != nullptr) RemoveFreeNotification(component);
  // An owner passes insertions and removals on to everything it owns, so siblings learn of each other.
  for (std::size_t i = 0; i < FComponents.size(); ++i) {
    if (FComponents[i] != component) FComponents[i]->Notification(component, operation);
  }
}

void TComponent::SetDesigning(bool designing) {
  if (designing) {
    FState |= csDesigning;
  } else {
    FState &= ~static_cast<unsigned>(csDesigning);
  }
  for (TComponent* c : FComponents) c->SetDesigning(designing);
}

void TComponent::SetReading(bool reading) {
  if (reading) {
    FState |= csReading | csLoading;
  } else {
    FState &= ~static_cast<unsigned>(csReading | csLoading);
  }
}

void TComponent::SetLoadingDone() {
  SetReading(false);
}

void TComponent::DefineProperties(TFiler& /*filer*/) {}

void RegisterComponentClass(std::string_view className, TComponentFactory factory) {
  Registry().insert_or_assign(std::string(className), std::move(factory));
}

TComponent* CreateComponentByClass(std::string_view className, TComponent* owner) {
  auto it = Registry().find(className);
  if (it == Registry().end()) return nullptr;
  return it->second(owner);
}

}  // namespace tess

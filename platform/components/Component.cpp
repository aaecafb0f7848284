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
    if (owner->HasState(csDesigning)) state_ |= csDesigning;
    owner->InsertComponent(this);
  }
}

TComponent::~TComponent() {
  state_ |= csDestroying;
  // Tell everyone who holds a reference to this component that it goes away.
  while (!freeNotifies_.empty()) {
    TComponent* other = freeNotifies_.back();
    freeNotifies_.pop_back();
    auto& back = other->freeNotifies_;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
    other->Notification(this, TOperation::opRemove);
  }
  // Free what this component owns, last first.
  while (!components_.empty()) {
    TComponent* child = components_.back();
    components_.pop_back();
    child->owner_ = nullptr;
    delete child;
  }
  if (owner_ != nullptr) owner_->RemoveComponent(this);
}

void TComponent::SetName(std::string_view name) {
  if (name == name_) return;
  if (owner_ != nullptr && !name.empty()) {
    for (TComponent* sibling : owner_->components_) {
      if (sibling != this && SameName(sibling->name_, name)) {
        throw EComponentError("A component named " + std::string(name) + " already exists");
      }
    }
  }
  name_ = std::string(name);
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_) {
    if (SameName(c->name_, name)) return c;
  }
  return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (component->owner_ == this) return;
  if (component->owner_ != nullptr) component->owner_->RemoveComponent(component);
  if (!component->name_.empty() && FindComponent(component->name_) != nullptr) {
    throw EComponentError("A component named " + component->name_ + " already exists");
  }
  components_.push_back(component);
  component->owner_ = this;
  Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  auto it = std::find(components_.begin(), components_.end(), component);
  if (it == components_.end()) return;
  Notification(component, TOperation::opRemove);
  // The notification may have changed the list; look again.
  it = std::find(components_.begin(), components_.end(), component);
  if (it != components_.end()) components_.erase(it);
  component->owner_ = nullptr;
}

void TComponent::FreeNotification(TComponent* component) {
  if (component == nullptr || component == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end()) {
    freeNotifies_.push_back(component);
  }
  auto& back = component->freeNotifies_;
  if (std::find(back.begin(), back.end(), this) == back.end()) back.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), component),
                      freeNotifies_.end());
  if (component != nullptr) {
    auto& back = component->freeNotifies_;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
  }
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove && component != nullptr) RemoveFreeNotification(component);
  // An owner passes insertions and removals on to everything it owns, so siblings learn of each other.
  for (std::size_t i = 0; i < components_.size(); ++i) {
    if (components_[i] != component) components_[i]->Notification(component, operation);
  }
}

void TComponent::SetDesigning(bool designing) {
  if (designing) {
    state_ |= csDesigning;
  } else {
    state_ &= ~static_cast<unsigned>(csDesigning);
  }
  for (TComponent* c : components_) c->SetDesigning(designing);
}

void TComponent::SetReading(bool reading) {
  if (reading) {
    state_ |= csReading | csLoading;
  } else {
    state_ &= ~static_cast<unsigned>(csReading | csLoading);
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

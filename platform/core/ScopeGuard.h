#pragma once
// Runs an action when a scope ends, however it ends (the end of the block, a return, an exception):
//
//   FBusy = true;
//   TScopeGuard idle([this] { FBusy = false; });
//
// A failure of the action itself is not raised from there: it would end the program while another
// exception is on its way.

#include <utility>

namespace tess {

template <class F>
class TScopeGuard {
 public:
  explicit TScopeGuard(F action) : FAction(std::move(action)) {}
  ~TScopeGuard() {
    try {
      FAction();
    } catch (...) {
    }
  }
  TScopeGuard(const TScopeGuard&) = delete;
  TScopeGuard& operator=(const TScopeGuard&) = delete;

 private:
  F FAction;
};

}  // namespace tess

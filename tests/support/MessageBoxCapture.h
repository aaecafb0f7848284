#pragma once
// Message boxes of the application caught instead of shown.

#include <vector>

#include "platform/ui/Application.h"

namespace tess::test {

// For its lifetime, every message box the application would show is kept in Boxes and answered with OK;
// afterwards the hook there was before is back.
class TMessageBoxCapture {
 public:
  TMessageBoxCapture()
      : FPrevious(Application().SetMessageBoxHook([this](const TMessageBoxRequest& r) {
          Boxes.push_back(r);
          return mrOk;
        })) {}
  ~TMessageBoxCapture() { Application().SetMessageBoxHook(FPrevious); }
  TMessageBoxCapture(const TMessageBoxCapture&) = delete;
  TMessageBoxCapture& operator=(const TMessageBoxCapture&) = delete;

  std::vector<TMessageBoxRequest> Boxes;

 private:
  TMessageBoxHook FPrevious;
};

}  // namespace tess::test

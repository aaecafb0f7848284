#pragma once
// Outcome of parsing or I/O on binary data: success, or failure with a message that says what was wrong.

#include <string>
#include <utility>

namespace tess {

class [[nodiscard]] TResult {
 public:
  TResult() = default;  // success
  static TResult Ok() { return {}; }
  static TResult Error(std::string message) {
    TResult r;
    r.FOk = false;
    r.FMessage = std::move(message);
    return r;
  }

  bool IsOk() const { return FOk; }
  explicit operator bool() const { return FOk; }
  const std::string& Message() const { return FMessage; }

 private:
  bool FOk = true;
  std::string FMessage;
};

}  // namespace tess

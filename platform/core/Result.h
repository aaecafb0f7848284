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
    r.ok_ = false;
    r.message_ = std::move(message);
    return r;
  }

  bool IsOk() const { return ok_; }
  explicit operator bool() const { return ok_; }
  const std::string& Message() const { return message_; }

 private:
  bool ok_ = true;
  std::string message_;
};

}  // namespace tess

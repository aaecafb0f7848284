#pragma once
// The framework's error path: event handlers, conversions and stored-data reading report errors by
// throwing these. The message is the system's own text in code page 932.

#include <stdexcept>
#include <string>

#include "platform/core/Cp932String.h"

namespace tess {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const Cp932String& message) : std::runtime_error(message.ToUtf8()), FMessage(message) {}
  const Cp932String& Message() const { return FMessage; }

 private:
  Cp932String FMessage;
};

// A text that is not a number of the asked kind.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// Stored data (a design, a settings snapshot) that cannot be read as the component expects.
class EReadError : public Exception {
 public:
  using Exception::Exception;
};

// A programmer's invariant that does not hold (an assertion failure).
class EAssertionFailed : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace tess

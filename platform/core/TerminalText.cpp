#include "platform/core/TerminalText.h"

#include <cstdio>

namespace tess {

std::string EscapeForTerminal(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  char hex[16];
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    // The length of a well-formed UTF-8 sequence starting here, or 0.
    std::size_t length = 0;
    if (byte < 0x80) {
      length = 1;
    } else if (byte >= 0xC2 && byte <= 0xF4) {
      length = byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
      if (i + length > text.size()) length = 0;
      for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) length = 0;
      }
      const auto second = length > 1 ? static_cast<unsigned char>(text[i + 1]) : 0;
      if ((byte == 0xE0 && second < 0xA0) || (byte == 0xED && second >= 0xA0) ||
          (byte == 0xF0 && second < 0x90) || (byte == 0xF4 && second >= 0x90)) {
        length = 0;  // overlong, a surrogate, or beyond U+10FFFF
      }
    }
    if (length == 0 || byte < 0x20 || byte == 0x7F) {
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      out += hex;
      ++i;
    } else if (byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
      std::snprintf(hex, sizeof hex, "\\u%04X", static_cast<unsigned char>(text[i + 1]));  // C1 control
      out += hex;
      i += 2;
    } else {
      out.append(text.substr(i, length));
      i += length;
    }
  }
  return out;
}

}  // namespace tess

#include "platform/core/HexDigits.h"

namespace tess {
namespace {

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

template <class Bytes>
std::string Encode(const Bytes& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (auto byte : bytes) {
    const auto b = static_cast<std::uint8_t>(byte);
    text.push_back(kDigits[b >> 4]);
    text.push_back(kDigits[b & 0x0F]);
  }
  return text;
}

template <class Bytes>
bool Decode(std::string_view digits, Bytes& bytes) {
  const std::size_t pairs = digits.size() / 2;
  bytes.reserve(bytes.size() + pairs);
  for (std::size_t i = 0; i < pairs; ++i) {
    const int high = DigitValue(digits[2 * i]);
    const int low = DigitValue(digits[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    bytes.push_back(static_cast<typename Bytes::value_type>(high * 16 + low));
  }
  return true;
}

}  // namespace

std::string HexFromBytes(std::span<const std::uint8_t> bytes) {
  return Encode(bytes);
}

std::string HexFromBytes(std::string_view bytes) {
  return Encode(bytes);
}

bool AppendBytesFromHex(std::string_view digits, std::vector<std::uint8_t>& bytes) {
  return Decode(digits, bytes);
}

bool AppendBytesFromHex(std::string_view digits, std::string& bytes) {
  return Decode(digits, bytes);
}

}  // namespace tess

#pragma once
// Binary data as text of hexadecimal digits, two a byte, high digit first ("0A1B" for 0x0A 0x1B): how stored
// designs hold an icon's image or a printer's settings block.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tess {

// The bytes as upper-case digits.
std::string HexFromBytes(std::span<const std::uint8_t> bytes);
std::string HexFromBytes(std::string_view bytes);

// Appends the bytes the digits (either case) stand for, pair by pair; an odd last digit is left over.
// Reading stops at the first pair that is not two hexadecimal digits, with the bytes before it appended:
// the result is false then, true when every pair was read.
bool AppendBytesFromHex(std::string_view digits, std::vector<std::uint8_t>& bytes);
bool AppendBytesFromHex(std::string_view digits, std::string& bytes);

}  // namespace tess

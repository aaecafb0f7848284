#pragma once
// Text as the worksheet, preview and printer code see it: bytes in code page 932 (Shift-JIS).
// Limits count bytes; a character is one byte or a lead byte followed by a trail byte.
// Conversion to and from Unicode happens only at the platform boundary.

#include <compare>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tess {

class Cp932String {
 public:
  Cp932String() = default;
  // Plain ASCII text is the same in code page 932, so literals such as "A4" or "12,1,4" may be used directly.
  Cp932String(const char* ascii) : FBytes(ascii) {}  // NOLINT(google-explicit-constructor)
  static Cp932String FromBytes(std::string_view bytes) { return Cp932String(std::string(bytes), 0); }
  // Unicode text (UTF-8) converted to code page 932; characters without a code become '?' (the JIS names
  // below take their code page character).
  static Cp932String FromUtf8(std::string_view utf8);

  const std::string& Bytes() const { return FBytes; }
  std::string ToUtf8() const;

  std::size_t Length() const { return FBytes.size(); }
  bool IsEmpty() const { return FBytes.empty(); }
  std::uint8_t ByteAt(std::size_t i) const { return static_cast<std::uint8_t>(FBytes[i]); }

  Cp932String& operator+=(const Cp932String& other) {
    FBytes += other.FBytes;
    return *this;
  }
  friend Cp932String operator+(Cp932String a, const Cp932String& b) { return a += b; }
  friend bool operator==(const Cp932String&, const Cp932String&) = default;
  friend std::strong_ordering operator<=>(const Cp932String& a, const Cp932String& b) {
    return a.FBytes <=> b.FBytes;
  }

 private:
  Cp932String(std::string bytes, int) : FBytes(std::move(bytes)) {}
  std::string FBytes;
};

// Lead byte of a two-byte character in code page 932.
inline bool IsCp932LeadByte(std::uint8_t b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Offset of the character after the one starting at pos (like CharNextA): pos + 2 for a lead byte
// followed by another byte, pos + 1 otherwise; never past the end.
std::size_t NextCharOffset(const Cp932String& s, std::size_t pos);
// Offset where the character before pos starts (like CharPrevA): 0 stays 0.
std::size_t PrevCharOffset(const Cp932String& s, std::size_t pos);

// Decimal text of an integer, and the strict conversion back (throws EConvertError with the
// message "'%s' は整数ではありません" for anything that is not a 32-bit integer).
Cp932String IntToStr(long long value);
int StrToInt(const Cp932String& text);

}  // namespace tess

namespace tess {

// Some characters of code page 932 have two Unicode names: the code page's own (0x8160 is ～ U+FF5E
// FULLWIDTH TILDE) and the one other tables of the same characters, the JIS standard's among them, give it
// (〜 U+301C WAVE DASH); fonts often draw both names with one glyph. Returns the code page's own name for
// such another name, else 0.
char16_t Cp932NameForJisName(char32_t ch);

// Whether code page 932 has a code for the character (a JIS name counting as the code page's own name).
bool Cp932HasCode(char32_t ch);

// The first thing in UTF-8 text that code page 932 cannot hold: a byte that does not start a valid UTF-8
// sequence, or a character without a code.
struct Cp932Misfit {
  std::size_t offset = 0;  // in bytes, from the start of the text
  char32_t value = 0;      // the character, or the byte when invalidUtf8
  bool invalidUtf8 = false;
};
std::optional<Cp932Misfit> FindCp932Misfit(std::string_view utf8);

// UTF-16 form of the bytes (ICU's code page 932), and the way back ('?' for what has no code).
std::u16string ToUtf16(const Cp932String& text);
Cp932String FromUtf16(std::u16string_view text);

// The system locale's half-width to full-width mapping (LCMapString with LCMAP_FULLWIDTH): ASCII and
// half-width katakana become their full-width forms, a katakana followed by a half-width voiced or
// semi-voiced mark becomes one combined character (ｶﾞ -> ガ). On a conversion failure ok is set false
// and the text comes back unchanged.
Cp932String ToFullWidth(const Cp932String& text, bool* ok = nullptr);

}  // namespace tess

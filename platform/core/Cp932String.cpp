#include "platform/core/Cp932String.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <memory>
#include <stdexcept>

#include "platform/core/Exceptions.h"

namespace tess {
namespace {

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// ICU's "ibm-943_P15A-2003" is the Windows flavour of Shift-JIS (code page 932, with the NEC and IBM
// extensions and 0x5C as the yen-less backslash); "windows-932" is its alias.
// Opening a converter costs far more than converting a short text, so each thread keeps one. Every use
// resets it, so no state from a previous (possibly failed) conversion carries over.
ConverterPtr OpenCp932Converter() {
  UErrorCode status = U_ZERO_ERROR;
  ConverterPtr c(ucnv_open("windows-932", &status));
  if (U_FAILURE(status)) throw std::runtime_error("code page 932 converter unavailable");
  return c;
}

UConverter* Cp932Converter() {
  thread_local ConverterPtr conv = [] {
    ConverterPtr c = OpenCp932Converter();
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setSubstChars(c.get(), "?", 1, &status);
    return c;
  }();
  ucnv_reset(conv.get());
  return conv.get();
}

struct NamePair {
  char16_t jis;
  char16_t cp932;
};

// Characters of code page 932 by the name other Unicode tables of the same characters (JIS X 0208's among
// them) give them, and by the code page's own name.
constexpr std::array<NamePair, 8> kJisNames{{
    {u'\u00A2', u'\uFFE0'},  // 0x8191 cent sign
    {u'\u00A3', u'\uFFE1'},  // 0x8192 pound sign
    {u'\u00A5', u'\uFFE5'},  // 0x818F yen sign
    {u'\u00AC', u'\uFFE2'},  // 0x81CA not sign
    {u'\u2014', u'\u2015'},  // 0x815C dash
    {u'\u2016', u'\u2225'},  // 0x8161 double vertical line
    {u'\u2212', u'\uFF0D'},  // 0x817C minus sign
    {u'\u301C', u'\uFF5E'},  // 0x8160 wave dash
}};

// Gives JIS names their code page names, in place.
void UseCp932Names(char16_t* text, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (char16_t own = Cp932NameForJisName(text[i])) text[i] = own;
  }
}

// A converter that stops at a character without a code instead of substituting one; for checks only.
UConverter* StrictCp932Converter() {
  thread_local ConverterPtr conv = [] {
    ConverterPtr c = OpenCp932Converter();
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setFromUCallBack(c.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    return c;
  }();
  ucnv_reset(conv.get());
  return conv.get();
}

}  // namespace

char16_t Cp932NameForJisName(char32_t ch) {
  for (const NamePair& pair : kJisNames) {
    if (pair.jis == ch) return pair.cp932;
  }
  return 0;
}

bool Cp932HasCode(char32_t ch) {
  if (ch > 0xFFFF || (ch >= 0xD800 && ch <= 0xDFFF)) return false;  // no code beyond the BMP
  UChar unit = static_cast<UChar>(ch);
  if (char16_t own = Cp932NameForJisName(ch)) unit = own;
  char out[8];
  UErrorCode status = U_ZERO_ERROR;
  ucnv_fromUChars(StrictCp932Converter(), out, sizeof out, &unit, 1, &status);
  return U_SUCCESS(status);
}

std::optional<Cp932Misfit> FindCp932Misfit(std::string_view utf8) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(utf8.data());
  const auto length = static_cast<std::int32_t>(std::min<std::size_t>(utf8.size(), INT32_MAX));
  for (std::int32_t i = 0; i < length;) {
    const std::int32_t start = i;
    UChar32 ch = 0;
    U8_NEXT(bytes, i, length, ch);
    if (ch < 0) return Cp932Misfit{static_cast<std::size_t>(start), bytes[start], true};
    if (!Cp932HasCode(static_cast<char32_t>(ch))) {
      return Cp932Misfit{static_cast<std::size_t>(start), static_cast<char32_t>(ch), false};
    }
  }
  return std::nullopt;
}

Cp932String Cp932String::FromUtf8(std::string_view utf8) {
  if (utf8.empty()) return {};
  UErrorCode status = U_ZERO_ERROR;
  // UTF-8 -> UTF-16 -> code page 932, substituting '?' for what has no code.
  std::u16string wide(utf8.size() + 1, u'\0');
  int32_t wideLen = 0;
  u_strFromUTF8WithSub(reinterpret_cast<UChar*>(wide.data()), static_cast<int32_t>(wide.size()), &wideLen,
                       utf8.data(), static_cast<int32_t>(utf8.size()), 0xFFFD, nullptr, &status);
  if (U_FAILURE(status)) return {};
  UseCp932Names(wide.data(), static_cast<std::size_t>(wideLen));
  UConverter* conv = Cp932Converter();
  status = U_ZERO_ERROR;
  std::string out(static_cast<std::size_t>(wideLen) * 2 + 2, '\0');
  int32_t n = ucnv_fromUChars(conv, out.data(), static_cast<int32_t>(out.size()),
                              reinterpret_cast<const UChar*>(wide.data()), wideLen, &status);
  if (U_FAILURE(status)) return {};
  out.resize(static_cast<std::size_t>(n));
  return FromBytes(out);
}

std::string Cp932String::ToUtf8() const {
  if (FBytes.empty()) return {};
  UConverter* conv = Cp932Converter();
  UErrorCode status = U_ZERO_ERROR;
  std::u16string wide(FBytes.size() + 1, u'\0');
  int32_t wideLen =
      ucnv_toUChars(conv, reinterpret_cast<UChar*>(wide.data()), static_cast<int32_t>(wide.size()),
                    FBytes.data(), static_cast<int32_t>(FBytes.size()), &status);
  if (U_FAILURE(status)) return {};
  std::string out(static_cast<std::size_t>(wideLen) * 3 + 1, '\0');
  int32_t outLen = 0;
  status = U_ZERO_ERROR;
  u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &outLen,
                     reinterpret_cast<const UChar*>(wide.data()), wideLen, 0xFFFD, nullptr, &status);
  if (U_FAILURE(status)) return {};
  out.resize(static_cast<std::size_t>(outLen));
  return out;
}

std::size_t NextCharOffset(const Cp932String& s, std::size_t pos) {
  if (pos >= s.Length()) return s.Length();
  if (IsCp932LeadByte(s.ByteAt(pos)) && pos + 1 < s.Length()) return pos + 2;
  return pos + 1;
}

std::size_t PrevCharOffset(const Cp932String& s, std::size_t pos) {
  if (pos > s.Length()) pos = s.Length();
  if (pos == 0) return 0;
  // Walk from the start: a trail byte can look like a lead byte, so only a forward scan is exact.
  std::size_t start = 0;
  for (std::size_t i = 0; i < pos;) {
    start = i;
    i = NextCharOffset(s, i);
  }
  return start;
}

Cp932String IntToStr(long long value) {
  return Cp932String::FromBytes(std::to_string(value));
}

int StrToInt(const Cp932String& text) {
  const std::string& b = text.Bytes();
  std::size_t i = 0;
  while (i < b.size() && b[i] == ' ') ++i;
  std::size_t start = i;
  bool negative = false;
  if (i < b.size() && (b[i] == '+' || b[i] == '-')) negative = b[i++] == '-';
  long long value = 0;
  const char* first = b.data() + i;
  const char* last = b.data() + b.size();
  auto [ptr, ec] = std::from_chars(first, last, value);
  bool ok = start < b.size() && first != last && ec == std::errc() && ptr == last &&
            (*first >= '0' && *first <= '9');
  if (ok) {
    if (negative) value = -value;
    ok = value >= INT_MIN && value <= INT_MAX;
  }
  if (!ok) throw EConvertError(Cp932String("'") + text + Cp932String::FromUtf8("' は整数ではありません"));
  return static_cast<int>(value);
}

}  // namespace tess

namespace tess {

std::u16string ToUtf16(const Cp932String& text) {
  if (text.IsEmpty()) return {};
  // The printable bytes 0x20..0x7E are the same characters in the code page and in UTF-16 (0x5C is the
  // backslash here; the converter moves some control bytes, 0x1A, 0x1C and 0x7F), and most texts drawn
  // are numbers: those need no converter.
  const std::string& bytes = text.Bytes();
  if (std::all_of(bytes.begin(), bytes.end(), [](char b) { return b >= 0x20 && b <= 0x7E; })) {
    return std::u16string(bytes.begin(), bytes.end());
  }
  UConverter* conv = Cp932Converter();
  UErrorCode status = U_ZERO_ERROR;
  std::u16string wide(text.Length() + 1, u'\0');
  int32_t n = ucnv_toUChars(conv, reinterpret_cast<UChar*>(wide.data()), static_cast<int32_t>(wide.size()),
                            text.Bytes().data(), static_cast<int32_t>(text.Length()), &status);
  if (U_FAILURE(status)) return {};
  wide.resize(static_cast<std::size_t>(n));
  return wide;
}

Cp932String FromUtf16(std::u16string_view input) {
  if (input.empty()) return {};
  std::u16string text(input);
  UseCp932Names(text.data(), text.size());
  UConverter* conv = Cp932Converter();
  UErrorCode status = U_ZERO_ERROR;
  std::string out(text.size() * 2 + 2, '\0');
  int32_t n = ucnv_fromUChars(conv, out.data(), static_cast<int32_t>(out.size()),
                              reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(text.size()),
                              &status);
  if (U_FAILURE(status)) return {};
  out.resize(static_cast<std::size_t>(n));
  return Cp932String::FromBytes(out);
}

}  // namespace tess

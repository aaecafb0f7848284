// The PDF writer's bytes put right on their way to the file (platform/gfx/internal/PdfBytes.h).
#include "platform/gfx/internal/PdfBytes.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/Cp932String.h"

namespace tess {
namespace {

constexpr std::string_view kFontDescriptor = "<< /Type /FontDescriptor";
constexpr std::string_view kTextMap = "/CIDInit /ProcSet findresource begin";
constexpr std::string_view kFontName = "\n/FontName /";
constexpr std::string_view kBaseFont = "\n/BaseFont /";
constexpr std::size_t kTagSize = 7;  // "ABCDEF+"
constexpr std::size_t kXrefEntrySize = 20;
constexpr std::uint64_t kLargestOffset = 9999999999;  // ten digits, as an entry writes it

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The character a glyph named `named` was drawn for, where `named` itself was not drawn: the space for the
// tab, the code page name for a JIS name; 0 for none.
char16_t DrawnNameFor(char16_t named) {
  if (named == u'\t') return u' ';
  return Cp932NameForJisName(named);
}

// White space and delimiters end a PDF name.
bool EndsName(char c) {
  return c == '\0' || std::strchr(" \t\r\n\f/[]<>(){}%", c) != nullptr;
}

std::string_view NameAt(std::string_view text, std::size_t at) {
  std::size_t end = at;
  while (end < text.size() && !EndsName(text[end])) ++end;
  return text.substr(at, end - at);
}

// "ABCDEF+" followed by the font's own name.
bool HasSubsetTag(std::string_view name) {
  return name.size() > kTagSize && name[kTagSize - 1] == '+' &&
         std::all_of(name.begin(), name.begin() + kTagSize - 1, [](char c) { return c >= 'A' && c <= 'Z'; });
}

// The decimal number of `count` digits at `at`; nothing unless every one is a digit.
std::optional<std::uint64_t> NumberAt(std::string_view text, std::size_t at, std::size_t count) {
  if (count == 0 || count > 19 || at > text.size() || text.size() - at < count) return std::nullopt;
  std::uint64_t value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (!IsDigit(text[i])) return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
  }
  return value;
}

std::size_t DigitsAt(std::string_view text, std::size_t at) {
  std::size_t end = at;
  while (end < text.size() && IsDigit(text[end])) ++end;
  return end - at;
}

// Skips one end of line ("\n", "\r\n" or "\r"); false when there is none at `at`.
bool SkipEndOfLine(std::string_view text, std::size_t& at) {
  if (at < text.size() && text[at] == '\r') {
    ++at;
    if (at < text.size() && text[at] == '\n') ++at;
    return true;
  }
  if (at < text.size() && text[at] == '\n') {
    ++at;
    return true;
  }
  return false;
}

// `length` bytes at `at` of the tail replaced by `text`.
struct Edit {
  std::size_t at;
  std::size_t length;
  std::string text;
};

// An object the cross-reference table places in the tail, to be found there after the edits.
struct Placed {
  std::uint64_t number;
  std::uint64_t generation;
  std::uint64_t offset;  // in the file, after the edits
};

std::string TenDigits(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "%010llu", static_cast<unsigned long long>(value));
  return text;
}

}  // namespace

void NameDrawnCharacters(char* map, std::size_t size, const std::set<char16_t>& drawn) {
  enum class Section { None, Ranges, Chars } section = Section::None;
  std::size_t line = 0;
  while (line < size) {
    std::size_t end = line;
    while (end < size && map[end] != '\n') ++end;
    const std::string_view text(map + line, end - line);
    if (text.ends_with("beginbfrange")) {
      section = Section::Ranges;
    } else if (text.ends_with("beginbfchar")) {
      section = Section::Chars;
    } else if (text.starts_with("end")) {
      section = Section::None;
    } else if (section != Section::None) {
      // The four-digit tokens of the line: source codes first, then the characters they stand for.
      std::vector<std::size_t> tokens;
      for (std::size_t i = 0; i + 5 < text.size(); ++i) {
        if (text[i] == '<' && text[i + 5] == '>' && IsHexDigit(text[i + 1]) && IsHexDigit(text[i + 2]) &&
            IsHexDigit(text[i + 3]) && IsHexDigit(text[i + 4])) {
          tokens.push_back(line + i + 1);
        }
      }
      std::size_t first = 1;  // a character entry: <code> <character>
      if (section == Section::Ranges) {
        // <low> <high> [<character> ...], or <low> <high> <first character> of a run, which only a range of
        // one glyph leaves free to change.
        const bool list = text.find('[') != std::string_view::npos;
        first = list || (tokens.size() == 3 &&
                         std::string_view(map + tokens[0], 4) == std::string_view(map + tokens[1], 4))
                    ? 2
                    : tokens.size();
      }
      for (std::size_t k = first; k < tokens.size(); ++k) {
        char* digits = map + tokens[k];
        const auto named = static_cast<char16_t>(std::stoul(std::string(digits, 4), nullptr, 16));
        const char16_t own = DrawnNameFor(named);
        if (own == 0 || drawn.count(named) != 0 || drawn.count(own) == 0) continue;
        char hex[5];
        std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(own));
        std::memcpy(digits, hex, 4);
      }
    }
    line = end + 1;
  }
}

std::optional<std::string> FixPdfTail(std::string_view tail, std::uint64_t offset,
                                      const std::set<char16_t>& drawn) {
  std::string text(tail);
  for (std::size_t at = text.find(kTextMap); at != std::string::npos; at = text.find(kTextMap, at + 1)) {
    const std::size_t end = std::min(text.find("endcmap", at), text.size());
    NameDrawnCharacters(text.data() + at, end - at, drawn);
  }

  // Each /BaseFont takes the tag of the last descriptor of its name before it.
  std::vector<Edit> edits;
  std::map<std::string, std::string, std::less<>> tagOf;
  for (std::size_t at = 0;;) {
    const std::size_t descriptor = text.find(kFontName, at);
    const std::size_t font = text.find(kBaseFont, at);
    if (descriptor == std::string::npos && font == std::string::npos) break;
    if (descriptor < font) {
      at = descriptor + kFontName.size();
      const std::string_view name = NameAt(text, at);
      if (HasSubsetTag(name))
        tagOf[std::string(name.substr(kTagSize))] = std::string(name.substr(0, kTagSize));
    } else {
      at = font + kBaseFont.size();
      if (auto tag = tagOf.find(NameAt(text, at)); tag != tagOf.end()) edits.push_back({at, 0, tag->second});
    }
  }
  if (edits.empty()) return text;  // the same size: no offset moves
  const std::size_t lastTag = edits.back().at;

  // Where an offset of the file lies once the tags are in.
  auto moved = [&](std::uint64_t at) {
    if (at < offset) return at;
    std::uint64_t added = 0;
    for (const Edit& tag : edits) {
      if (tag.length == 0 && tag.at < at - offset) added += tag.text.size();
    }
    return at + added;
  };

  // The cross-reference table: subsections of "first count", each entry "oooooooooo ggggg n" in 20 bytes.
  std::size_t xref = text.rfind("\nxref");
  if (xref == std::string::npos || xref < lastTag) return std::nullopt;
  std::size_t at = xref + 5;
  if (!SkipEndOfLine(text, at)) return std::nullopt;
  std::vector<Placed> placed;
  while (text.compare(at, 7, "trailer") != 0) {
    const std::size_t firstDigits = DigitsAt(text, at);
    const std::optional<std::uint64_t> first = NumberAt(text, at, firstDigits);
    at += firstDigits;
    if (!first || at >= text.size() || text[at] != ' ') return std::nullopt;
    ++at;
    const std::size_t countDigits = DigitsAt(text, at);
    const std::optional<std::uint64_t> count = NumberAt(text, at, countDigits);
    at += countDigits;
    while (at < text.size() && text[at] == ' ') ++at;
    if (!count || !SkipEndOfLine(text, at)) return std::nullopt;
    for (std::uint64_t k = 0; k < *count; ++k, at += kXrefEntrySize) {
      if (text.size() - at < kXrefEntrySize) return std::nullopt;
      const std::optional<std::uint64_t> entry = NumberAt(text, at, 10);
      const std::optional<std::uint64_t> generation = NumberAt(text, at + 11, 5);
      const char kind = text[at + 17];
      const std::string_view end(text.data() + at + 18, 2);
      if (!entry || !generation || text[at + 10] != ' ' || text[at + 16] != ' ' ||
          (kind != 'n' && kind != 'f') || (end != " \n" && end != " \r" && end != "\r\n")) {
        return std::nullopt;
      }
      if (kind == 'f') continue;
      const std::uint64_t now = moved(*entry);
      if (now > kLargestOffset) return std::nullopt;
      if (*entry >= offset) placed.push_back({*first + k, *generation, now});
      if (now != *entry) edits.push_back({at, 10, TenDigits(now)});
    }
  }
  const std::size_t startxref = text.find("startxref", at);
  if (startxref == std::string::npos) return std::nullopt;
  at = startxref + 9;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\r' || text[at] == '\n')) ++at;
  const std::size_t digits = DigitsAt(text, at);
  const std::optional<std::uint64_t> start = NumberAt(text, at, digits);
  if (!start || *start != offset + xref + 1) return std::nullopt;  // it finds the table just read
  edits.push_back({at, digits, std::to_string(moved(*start))});

  // The edits in order of place (the tags come before the table, the table before startxref).
  std::string fixed;
  fixed.reserve(text.size() + edits.size() * kTagSize);
  std::size_t copied = 0;
  for (const Edit& edit : edits) {
    fixed.append(text, copied, edit.at - copied);
    fixed += edit.text;
    copied = edit.at + edit.length;
  }
  fixed.append(text, copied, std::string::npos);

  // Every object the table places in the tail is where it says.
  auto startsAt = [&](std::uint64_t where, const std::string& what) {
    return where >= offset && where - offset <= fixed.size() &&
           fixed.compare(where - offset, what.size(), what) == 0;
  };
  for (const Placed& object : placed) {
    if (!startsAt(object.offset,
                  std::to_string(object.number) + " " + std::to_string(object.generation) + " obj")) {
      return std::nullopt;
    }
  }
  return fixed;
}

bool TPdfByteStream::Write(const char* data, std::size_t size) {
  if (FHeld) {
    FHeld->append(data, size);
    return true;
  }
  // The fonts, their maps and the table that finds them all come at the end. The bytes kept back from the
  // last write may begin the mark of the first font.
  std::string bytes = std::exchange(FKept, std::string());
  bytes.append(data, size);
  const std::size_t font = std::min(bytes.find(kFontDescriptor), bytes.find(kTextMap));
  const std::size_t mark = std::max(kFontDescriptor.size(), kTextMap.size());
  const std::size_t send = font != std::string::npos ? font : bytes.size() - std::min(bytes.size(), mark - 1);
  if (send > 0) {
    if (!FSink(bytes.data(), send)) return false;
    FSent += send;
  }
  if (font != std::string::npos) {
    FHeld = bytes.substr(font);
  } else {
    FKept = bytes.substr(send);
  }
  return true;
}

bool TPdfByteStream::Finish() {
  std::string held = FHeld ? std::move(*FHeld) : std::exchange(FKept, std::string());
  std::optional<std::string> fixed;
  if (FHeld) fixed = FixPdfTail(held, FSent, FDrawn);
  FHeld.reset();
  const std::string& bytes = fixed ? *fixed : held;
  if (!bytes.empty() && !FSink(bytes.data(), bytes.size())) return false;
  FSent += bytes.size();
  return true;
}

}  // namespace tess

#include "platform/printing/PpdFile.h"

#include <algorithm>
#include <charconv>

#include "platform/core/Cp932String.h"

namespace tess {

namespace {

// The bounds of the client library's fixed fields: names of 40 bytes, texts of 80.
constexpr std::size_t kMaxName = 40;
constexpr std::size_t kMaxText = 80;

enum class TEncoding { Latin1, Windows1252, ShiftJis, Utf8 };

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimEnd(std::string_view s) {
  while (!s.empty() && (IsSpace(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

TEncoding EncodingNamed(std::string_view name) {
  if (SameIgnoringCase(name, "ISOLatin1") || SameIgnoringCase(name, "ISOLatin2") ||
      SameIgnoringCase(name, "ISOLatin5") || SameIgnoringCase(name, "MacStandard")) {
    return TEncoding::Latin1;  // the last three read as Latin-1 here: their letters beyond ASCII may differ
  }
  if (SameIgnoringCase(name, "WindowsANSI")) return TEncoding::Windows1252;
  if (SameIgnoringCase(name, "JIS83-RKSJ")) return TEncoding::ShiftJis;
  return TEncoding::Utf8;
}

void AppendUtf8(std::string& out, unsigned code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Windows-1252's letters at 0x80-0x9F (0 where it has none).
constexpr unsigned short kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// `text` in the file's encoding as UTF-8 of at most `limit` bytes, cut at a character's start.
std::string ToUtf8(std::string_view text, TEncoding encoding, std::size_t limit) {
  std::string out;
  if (encoding == TEncoding::ShiftJis) {
    out = Cp932String::FromBytes(text).ToUtf8();
    // A text that is not Shift-JIS throughout is no text at all, as the client library has it.
    if (out.find("\xEF\xBF\xBD") != std::string::npos) out.clear();
  } else if (encoding == TEncoding::Utf8) {
    out = std::string(text);
  } else {
    for (unsigned char c : text) {
      unsigned code = c;
      if (encoding == TEncoding::Windows1252 && c >= 0x80 && c < 0xA0) code = kWindows1252High[c - 0x80];
      if (code != 0) AppendUtf8(out, code);
    }
  }
  if (out.size() > limit) {
    std::size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) --cut;
    out.resize(cut);
  }
  return out;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A translation string's hexadecimal substrings ("<E3 81 82>") as the bytes they stand for.
std::string DecodeHex(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] != '<' || i + 1 >= text.size() || HexValue(text[i + 1]) < 0) {
      out += text[i++];
      continue;
    }
    ++i;
    while (i < text.size() && HexValue(text[i]) >= 0) {
      int byte = HexValue(text[i++]) << 4;
      if (i >= text.size() || HexValue(text[i]) < 0) {
        out += static_cast<char>(byte);
        break;
      }
      byte |= HexValue(text[i++]);
      out += static_cast<char>(byte);
    }
    while (i < text.size() && text[i] != '>') ++i;
    while (i < text.size() && text[i] == '>') ++i;
  }
  return out;
}

// The numbers of a value ("612 792"), read as C numbers whatever the locale; a number that does not read
// is 0 and so is every one after it.
std::vector<float> Numbers(std::string_view value, std::size_t count) {
  std::vector<float> numbers(count, 0.0f);
  std::size_t at = 0;
  for (std::size_t n = 0; n < count; ++n) {
    while (at < value.size() && (IsSpace(value[at]) || value[at] == '\n' || value[at] == '\r')) ++at;
    float number = 0;
    const char* first = value.data() + at;
    if (at < value.size() && value[at] == '+') ++first;
    const auto [end, error] = std::from_chars(first, value.data() + value.size(), number);
    if (error != std::errc()) break;
    numbers[n] = number;
    at = static_cast<std::size_t>(end - value.data());
  }
  return numbers;
}

// One statement: "*Keyword Option/Text: value".
struct Statement {
  std::string keyword;
  std::string option;
  std::string text;  // raw, hexadecimal substrings decoded
  bool hasOption = false;
  std::optional<std::string> value;
};

class StatementReader {
 public:
  explicit StatementReader(std::string_view text) : FText(text) {}

  bool Next(Statement& s) {
    while (FAt < FText.size()) {
      const std::size_t lineEnd = std::min(FText.find('\n', FAt), FText.size());
      const std::string_view line = TrimEnd(FText.substr(FAt, lineEnd - FAt));
      const std::size_t lineStart = FAt;
      FLineStart = lineStart;
      FAt = lineEnd + 1;
      if (line.size() < 2 || line[0] != '*' || line[1] == '%') continue;
      s = Statement{};
      std::size_t i = 1;
      while (i < line.size() && !IsSpace(line[i]) && line[i] != ':') ++i;
      s.keyword = std::string(line.substr(1, std::min(i - 1, kMaxName)));
      if (s.keyword.empty() || s.keyword == "End") continue;
      if (i < line.size() && IsSpace(line[i])) {
        while (i < line.size() && IsSpace(line[i])) ++i;
        const std::size_t optionStart = i;
        while (i < line.size() && line[i] != '/' && line[i] != ':') ++i;
        s.option = std::string(TrimEnd(line.substr(optionStart, std::min(i - optionStart, kMaxName))));
        s.hasOption = !s.option.empty();
        if (i < line.size() && line[i] == '/') {
          const std::size_t textStart = ++i;
          while (i < line.size() && line[i] != ':') ++i;
          s.text = DecodeHex(line.substr(textStart, std::min(i - textStart, kMaxText)));
        }
      }
      if (i >= line.size() || line[i] != ':') return true;  // no value
      ++i;
      while (i < line.size() && IsSpace(line[i])) ++i;
      if (i < line.size() && line[i] == '"') {
        // A quoted value may run over several lines, up to its closing quote.
        const std::size_t open = lineStart + i + 1;
        const std::size_t close = FText.find('"', open);
        const std::size_t end = close == std::string_view::npos ? FText.size() : close;
        s.value = std::string(FText.substr(open, end - open));
        const std::size_t after = end < FText.size() ? FText.find('\n', end) : std::string_view::npos;
        FAt = after == std::string_view::npos ? FText.size() : after + 1;
      } else {
        s.value = std::string(line.substr(i));
      }
      return true;
    }
    return false;
  }

  // Where the line of the last statement starts.
  std::size_t LineStart() const { return FLineStart; }

 private:
  std::string_view FText;
  std::size_t FAt = 0;
  std::size_t FLineStart = 0;
};

class Builder {
 public:
  std::optional<TPpdFile> Read(std::string_view text, std::string* why) {
    StatementReader reader(text);
    Statement s;
    // The file's first line, and nothing before it, says what it is.
    if (!reader.Next(s) || reader.LineStart() != 0 || s.keyword != "PPD-Adobe" || !s.value ||
        s.value->empty() || (*s.value)[0] != '4') {
      if (why != nullptr) *why = "not a version 4 PPD file";
      return std::nullopt;
    }
    while (reader.Next(s)) Take(s);
    return std::move(FPpd);
  }

 private:
  TPpdOption* Option(std::string_view keyword) {
    for (TPpdOption& o : FPpd.options) {
      if (SameIgnoringCase(o.keyword, keyword)) return &o;
    }
    return nullptr;
  }

  TPpdOption& OptionMade(const std::string& keyword) {
    if (TPpdOption* o = Option(keyword)) return *o;
    FPpd.options.push_back({keyword, {}, {}});
    TPpdOption& o = FPpd.options.back();
    // A Default line seen before the option gives its default.
    for (const TPpdAttribute& a : FPpd.attributes) {
      if (a.name.size() > 7 && a.name.compare(0, 7, "Default") == 0 && a.name.substr(7) == keyword) {
        o.defchoice = a.value;
        break;
      }
    }
    return o;
  }

  TPpdSize& Size(const std::string& name) {
    for (TPpdSize& size : FPpd.sizes) {
      if (SameIgnoringCase(size.name, name)) return size;
    }
    FPpd.sizes.push_back({name});
    return FPpd.sizes.back();
  }

  const TPpdAttribute* Attribute(std::string_view name, std::string_view spec) const {
    for (const TPpdAttribute& a : FPpd.attributes) {
      if (SameIgnoringCase(a.name, name) && SameIgnoringCase(a.spec, spec)) return &a;
    }
    return nullptr;
  }

  // The choice a custom value gives an option; its text is taken as the file has it.
  static void AddCustomChoice(TPpdOption& option, const std::string& text) {
    option.choices.push_back({"Custom", text.empty() ? std::string("Custom") : text});
  }

  TPpdOption* Current() { return FCurrent ? &FPpd.options[*FCurrent] : nullptr; }

  std::size_t OptionIndex(const std::string& keyword) {
    const TPpdOption& o = OptionMade(keyword);
    return static_cast<std::size_t>(&o - FPpd.options.data());
  }

  void Take(const Statement& s) {
    const std::string& k = s.keyword;
    if (!s.value && k.compare(0, 7, "Default") != 0) return;  // a main keyword without a value says nothing
    // PageSize and PageRegion choices outside OpenUI/CloseUI make their option, for their own line.
    if (FUiKeyword) {
      FCurrent.reset();
      FUiKeyword = false;
    }
    if (!FCurrent && s.hasOption && s.value && (k == "PageSize" || k == "PageRegion")) {
      FCurrent = OptionIndex(k);
      FUiKeyword = true;
    }

    if (k == "LanguageEncoding") {
      FEncoding = EncodingNamed(*s.value);
    } else if (k == "ModelName") {
      FPpd.modelname = *s.value;
    } else if (k == "NickName") {
      FPpd.nickname = ToUtf8(*s.value, FEncoding, 255);
    } else if (k.compare(0, 6, "Custom") == 0 && k.size() > 6 && s.option == "True" && !FCurrent) {
      if (TPpdOption* o = Option(std::string_view(k).substr(6))) AddCustomChoice(*o, s.text);
      if (k == "CustomPageSize") {
        FPpd.sizes.push_back({"Custom"});
        if (TPpdOption* region = Option("PageRegion")) AddCustomChoice(*region, s.text);
      }
    } else if (k == "OpenUI" || k == "JCLOpenUI") {
      std::string name = s.option;
      if (!name.empty() && name[0] == '*') name.erase(0, 1);
      if (name.empty()) return;
      FCurrent = OptionIndex(name);
      const std::string custom = SameIgnoringCase(name, "PageRegion") ? "CustomPageSize" : "Custom" + name;
      if (const TPpdAttribute* a = Attribute(custom, "True")) AddCustomChoice(*Current(), a->text);
      return;
    } else if (k == "CloseUI" || k == "JCLCloseUI") {
      FCurrent.reset();
      return;
    } else if (k.compare(0, 7, "Default") == 0) {
      if (!s.value) return;
      const std::string value = s.value->substr(0, s.value->find('/'));
      if (Current() != nullptr && std::string_view(k).substr(7) == Current()->keyword) {
        Current()->defchoice = value;
      } else if (TPpdOption* o = Option(std::string_view(k).substr(7))) {
        o->defchoice = value;
      }
      FPpd.attributes.push_back({k, s.option, s.text, value});
      return;
    } else if (k == "PaperDimension" && s.hasOption) {
      const std::vector<float> n = Numbers(*s.value, 2);
      TPpdSize& size = Size(s.option);
      size.width = n[0];
      size.length = n[1];
      return;
    } else if (k == "ImageableArea" && s.hasOption) {
      const std::vector<float> n = Numbers(*s.value, 4);
      TPpdSize& size = Size(s.option);
      size.left = n[0];
      size.bottom = n[1];
      size.right = n[2];
      size.top = n[3];
      return;
    } else if (Current() != nullptr && s.hasOption && k == Current()->keyword) {
      if (k == "PageSize") Size(s.option);
      std::string text = s.text.empty() ? s.option : ToUtf8(s.text, FEncoding, kMaxText);
      if (s.text.empty() && s.option == "True") text = "Yes";
      if (s.text.empty() && s.option == "False") text = "No";
      Current()->choices.push_back({s.option, std::move(text)});
      return;
    }
    if (s.value) FPpd.attributes.push_back({k, s.option, s.text, *s.value});
  }

  TPpdFile FPpd;
  TEncoding FEncoding = TEncoding::Latin1;
  std::optional<std::size_t> FCurrent;  // the option whose choices the lines are
  bool FUiKeyword = false;
};

}  // namespace

const TPpdOption* TPpdFile::FindOption(std::string_view keyword) const {
  for (const TPpdOption& o : options) {
    if (SameIgnoringCase(o.keyword, keyword)) return &o;
  }
  return nullptr;
}

const TPpdAttribute* TPpdFile::FindAttribute(std::string_view name) const {
  for (const TPpdAttribute& a : attributes) {
    if (SameIgnoringCase(a.name, name)) return &a;
  }
  return nullptr;
}

std::optional<TPpdFile> ReadPpd(std::string_view text, std::string* why) {
  return Builder().Read(text, why);
}

}  // namespace tess

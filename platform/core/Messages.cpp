#include "platform/core/Messages.h"

#include <QByteArray>
#include <QString>
#include <QTranslator>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <span>
#include <vector>

namespace tess {
namespace translations {
// The catalogues as the release tool built them, compiled in (cmake/Translations.cmake).
std::span<const unsigned char> Japanese();
std::span<const unsigned char> English();
}  // namespace translations

namespace {

std::atomic<TLanguage> gLanguage{TLanguage::Japanese};

// Both catalogues, loaded once on first use. Lookups may come from any thread (the printer system is
// first asked on a worker while the window system starts), so they are taken one at a time.
class Catalogues {
 public:
  Catalogues() {
    Load(FJapanese, translations::Japanese());
    Load(FEnglish, translations::English());
  }

  std::string Lookup(TLanguage language, std::string_view key) {
    // "area.name": the area is the catalogue's context, the name its source text.
    const std::size_t dot = key.find('.');
    const std::string context(key.substr(0, dot == std::string_view::npos ? 0 : dot));
    const std::string name(dot == std::string_view::npos ? key : key.substr(dot + 1));
    std::lock_guard lock(FMutex);
    const QTranslator& translator = language == TLanguage::Japanese ? FJapanese : FEnglish;
    const QString text = translator.translate(context.c_str(), name.c_str());
    if (text.isEmpty()) return std::string(key);
    return text.toStdString();
  }

 private:
  static void Load(QTranslator& translator, std::span<const unsigned char> bytes) {
    // A catalogue that does not load leaves every key as its own text: visible, never empty.
    (void)translator.load(bytes.data(), static_cast<int>(bytes.size()));
  }

  std::mutex FMutex;
  QTranslator FJapanese;
  QTranslator FEnglish;
};

Catalogues& TheCatalogues() {
  static Catalogues catalogues;
  return catalogues;
}

// Replaces %1 ... %9 in one pass, so that an argument holding "%2" stays as it is. A place without its
// argument stays as it is written.
std::string Substitute(const std::string& text, std::span<const std::string_view> args) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
      const auto index = static_cast<std::size_t>(text[i + 1] - '1');
      if (index < args.size()) {
        out.append(args[index]);
        ++i;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

}  // namespace

void SetMessageLanguage(TLanguage language) {
  gLanguage = language;
}

TLanguage MessageLanguage() {
  return gLanguage;
}

TLanguage LocaleLanguage() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0') continue;
    return std::string_view(value).starts_with("ja") ? TLanguage::Japanese : TLanguage::English;
  }
  return TLanguage::English;
}

std::string MessageIn(TLanguage language, std::string_view key,
                      std::initializer_list<std::string_view> args) {
  return Substitute(TheCatalogues().Lookup(language, key), std::span(args.begin(), args.size()));
}

std::string Message(std::string_view key, std::initializer_list<std::string_view> args) {
  return MessageIn(gLanguage, key, args);
}

Cp932String MessageCp932(std::string_view key, std::initializer_list<Cp932String> args) {
  std::vector<std::string> utf8;
  utf8.reserve(args.size());
  for (const Cp932String& arg : args) utf8.push_back(arg.ToUtf8());
  const std::vector<std::string_view> views(utf8.begin(), utf8.end());
  return Cp932String::FromUtf8(Substitute(TheCatalogues().Lookup(gLanguage, key), views));
}

}  // namespace tess

// The half-width to full-width mapping of the system locale, done with ICU's Halfwidth-Fullwidth
// transform (which already joins a half-width katakana and a following voiced or semi-voiced mark).
#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>

#include "platform/core/Cp932String.h"

namespace tess {

Cp932String ToFullWidth(const Cp932String& text, bool* ok) {
  if (ok) *ok = true;
  if (text.IsEmpty()) return text;
  // A transliterator is costly to create and may not be shared between threads unguarded: each thread
  // creates one on first use and keeps it.
  thread_local std::unique_ptr<icu::Transliterator> transform = [] {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Transliterator> t(
        icu::Transliterator::createInstance("Halfwidth-Fullwidth", UTRANS_FORWARD, status));
    return U_FAILURE(status) ? nullptr : std::move(t);
  }();
  std::u16string wide = ToUtf16(text);
  if (!transform || wide.empty()) {
    if (ok) *ok = false;
    return text;
  }
  icu::UnicodeString u(wide.data(), static_cast<int32_t>(wide.size()));
  transform->transliterate(u);
  std::u16string out(reinterpret_cast<const char16_t*>(u.getBuffer()), static_cast<std::size_t>(u.length()));
  // A mark with nothing to join stays a spacing mark (゛ ゜), as the locale mapping gives it.
  for (char16_t& c : out) {
    if (c == u'\u3099') c = u'\u309B';
    if (c == u'\u309A') c = u'\u309C';
  }
  return FromUtf16(out);
}

}  // namespace tess

#pragma once
// The program's messages beyond the fixed texts of its windows: what printing, files and the command line
// tell the user. Every message lives in one catalogue per language (translations/tessarine_ja.ts and
// translations/tessarine_en.ts, built into the program), named by a key "area.name" such as
// "printing.paused". Code names the key and gives the values for the message's %1, %2, ... places; it never
// holds the sentence itself.
//
// Windows always speak Japanese. The command line speaks Japanese under a Japanese locale and English
// otherwise; the process chooses once, at start-up, with SetMessageLanguage.

#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/core/Cp932String.h"

namespace tess {

enum class TLanguage { Japanese, English };

// The language of every message from now on; Japanese until set.
void SetMessageLanguage(TLanguage language);
TLanguage MessageLanguage();

// The language the environment asks for: Japanese when the first of LC_ALL, LC_MESSAGES and LANG that is
// set and not empty begins with "ja", English otherwise.
TLanguage LocaleLanguage();

// The message `key` in the current language (UTF-8), each %1 ... %9 replaced by the argument of that number
// (arguments are UTF-8 and are not searched for places themselves). A key that no catalogue holds gives the
// key itself, so a missing text is visible rather than empty.
std::string Message(std::string_view key, std::initializer_list<std::string_view> args = {});
// The same for texts in code page 932: the arguments and the result are code page 932.
Cp932String MessageCp932(std::string_view key, std::initializer_list<Cp932String> args = {});

// The message in a given language, whatever the current one.
std::string MessageIn(TLanguage language, std::string_view key,
                      std::initializer_list<std::string_view> args = {});

}  // namespace tess

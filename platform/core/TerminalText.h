#pragma once
// Text from outside the program (paths, printer names, a server's name, a toolkit's warning) made safe to
// show on a terminal: every message that goes to standard error passes through here.

#include <string>
#include <string_view>

namespace tess {

// Control characters and bytes that are not UTF-8 shown as escapes (\x1B, \u009B, \xFF); everything else
// as it is.
std::string EscapeForTerminal(std::string_view text);

}  // namespace tess

#pragma once
// A PostScript printer description (PPD) read as the print service's client library reads it, for the
// parts a printer's description is made from: its names, its page sizes with their imageable areas, the
// choices and defaults of its options, and its other main keywords. Texts are UTF-8, converted from the
// file's LanguageEncoding.
//
// The file comes from the print service and may be anything: it is read line by line with every name and
// text bounded as the client library bounds them, numbers that do not read are 0, and a file that does not
// begin as a version 4 PPD is refused.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tess {

struct TPpdChoice {
  std::string choice;
  std::string text;
};

struct TPpdOption {
  std::string keyword;
  std::string defchoice;  // as the file's Default line gives it, whether or not it is one of the choices
  std::vector<TPpdChoice> choices;
};

// Sizes in points; the imageable area as its left, bottom, right and top edges.
struct TPpdSize {
  std::string name;
  float width = 0;
  float length = 0;
  float left = 0;
  float bottom = 0;
  float right = 0;
  float top = 0;
};

struct TPpdAttribute {
  std::string name;
  std::string spec;
  std::string text;  // the translation string as in the file
  std::string value;
};

struct TPpdFile {
  std::optional<std::string> nickname;   // UTF-8
  std::optional<std::string> modelname;  // as in the file
  std::vector<TPpdSize> sizes;
  std::vector<TPpdOption> options;
  std::vector<TPpdAttribute> attributes;  // main keywords with a value that are not options or sizes

  // The option of that keyword (case not considered), or null.
  const TPpdOption* FindOption(std::string_view keyword) const;
  // The first attribute of that name (case not considered), or null.
  const TPpdAttribute* FindAttribute(std::string_view name) const;
};

// Reads a PPD; without one, `why` (when given) says why.
std::optional<TPpdFile> ReadPpd(std::string_view text, std::string* why = nullptr);

}  // namespace tess

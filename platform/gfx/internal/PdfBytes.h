#pragma once
// The bytes of the toolkit's PDF writer put right on their way to the file, for every PDF the program makes
// (exports and print jobs alike): its text layer gives back the characters drawn, and its fonts carry the
// names of the subsets they are. The writer's device is in PdfOutput.h; this part needs no toolkit.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>

namespace tess {

// The end of a PDF, from its first font on, put right:
// - every font's /BaseFont carries the subset tag ("ABCDEF+") that the /FontName of the font descriptor
//   written last before it with the same name carries;
// - every ToUnicode map names each glyph by a character that was drawn with it (see NameDrawnCharacters);
// - the cross-reference table and startxref follow the bytes the tags add.
// `offset` is where `tail` starts in the file. Nothing when the tail is not made as expected (its
// cross-reference table or startxref unreadable, an object not where the table would say): such a tail is
// to be written as it is.
std::optional<std::string> FixPdfTail(std::string_view tail, std::uint64_t offset,
                                      const std::set<char16_t>& drawn);

// The writer names each glyph in a ToUnicode map by the lowest character the font maps to that glyph, which
// may be one never drawn: the tab for the space glyph, or the JIS name of a code page 932 character that the
// font draws with the same glyph (〜 U+301C for ～ U+FF5E in IPAGothic). Such a name, where that character
// was not drawn and the one it stands for was, becomes the drawn one, in place: the map writes every
// character as four hexadecimal digits, so its size stays as it is.
void NameDrawnCharacters(char* map, std::size_t size, const std::set<char16_t>& drawn);

// The writer's bytes on their way to a sink. They go on as they come (but for a few kept back where the
// next write could complete the mark of a font), up to the first font; from there on they are held until
// Finish, which puts them right (FixPdfTail) and sends them on, or sends them as they
// came where they cannot be put right: the file is always whole.
class TPdfByteStream {
 public:
  // Takes bytes on; false when they could not be taken.
  using TSink = std::function<bool(const char* data, std::size_t size)>;
  explicit TPdfByteStream(TSink sink) : FSink(std::move(sink)) {}

  // False when the sink did not take the bytes.
  bool Write(const char* data, std::size_t size);
  // Sends what is held, once the writer has ended; false when the sink did not take it.
  bool Finish();
  // The characters drawn on the document's pages: the canvas that draws them notes them here.
  std::set<char16_t>& DrawnCharacters() { return FDrawn; }

 private:
  TSink FSink;
  std::set<char16_t> FDrawn;
  std::uint64_t FSent = 0;           // bytes the sink has taken
  std::string FKept;                 // the last bytes before the first font is seen: they may begin its mark
  std::optional<std::string> FHeld;  // from the first font on
};

}  // namespace tess

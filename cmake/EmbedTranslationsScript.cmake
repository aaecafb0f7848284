# Run by tessarine_embed_translations (cmake -P): the two built catalogues as one C++ source holding their
# bytes. Inputs: JAPANESE, ENGLISH (.qm files), OUTPUT.
function(bytes_of file variable)
  file(READ ${file} hex HEX)
  if(hex STREQUAL "")
    message(FATAL_ERROR "Empty message catalogue: ${file}")
  endif()
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REPEAT "0x[0-9a-f][0-9a-f]," 24 line_pattern)
  string(REGEX REPLACE "(${line_pattern})" "\\1\n    " bytes "${bytes}")
  set(${variable} "${bytes}" PARENT_SCOPE)
endfunction()

bytes_of(${JAPANESE} japanese)
bytes_of(${ENGLISH} english)
file(WRITE ${OUTPUT}.tmp "// Generated from translations/*.ts at build time; edit the catalogues, not this file.
#include <span>

namespace {
constexpr unsigned char kJapanese[] = {
    ${japanese}};
constexpr unsigned char kEnglish[] = {
    ${english}};
}  // namespace

namespace tess::translations {
std::span<const unsigned char> Japanese() {
  return kJapanese;
}
std::span<const unsigned char> English() {
  return kEnglish;
}
}  // namespace tess::translations
")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})

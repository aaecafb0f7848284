# Run by tessarine_embed_design (cmake -P): turns one JSON design into a C++ source holding its bytes.
# Inputs: INPUT, OUTPUT, NAME, ROOT_CLASS, ROOT_HEADER.
file(READ ${INPUT} text)
# A design must be a JSON object naming its class; anything else stops the build here.
string(JSON root_class ERROR_VARIABLE json_error GET "${text}" class)
if(json_error)
  message(FATAL_ERROR "Stored design is not a valid JSON component object: ${INPUT}: ${json_error}")
endif()
if(NOT root_class STREQUAL ROOT_CLASS)
  message(FATAL_ERROR "Stored design describes class '${root_class}' instead of '${ROOT_CLASS}': ${INPUT}")
endif()

file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR byte_count "${hex_length} / 2")
# 24 bytes a line.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REPEAT "0x[0-9a-f][0-9a-f]," 24 line_pattern)
string(REGEX REPLACE "(${line_pattern})" "\\1\n    " bytes "${bytes}")

file(WRITE ${OUTPUT}.tmp "// Generated from ${NAME}.json at build time; edit the design, not this file.
#include <memory>
#include <string_view>

#include \"platform/components/EmbeddedDesign.h\"
#include \"${ROOT_HEADER}\"

namespace {
// ${byte_count} bytes of UTF-8 JSON.
constexpr unsigned char kDesignBytes[] = {
    ${bytes}};
}  // namespace

namespace tess::designs {
std::string_view ${NAME}() {
  return std::string_view(reinterpret_cast<const char*>(kDesignBytes), sizeof(kDesignBytes));
}
}  // namespace tess::designs

namespace {
[[maybe_unused]] const bool kRegistered = tess::RegisterEmbeddedDesign(
    {\"${NAME}\", \"${ROOT_CLASS}\", &tess::designs::${NAME}, &tess::CheckDesignOfForm<tess::${ROOT_CLASS}>});
}  // namespace
")
# Only touch the output when it changed, so an unchanged design rebuilds nothing.
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)

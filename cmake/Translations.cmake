# The message catalogues: one translation source per language (translations/tessarine_<lang>.ts), built
# with the toolkit's release tool and compiled into the platform library as the bytes of each catalogue, so
# the program needs no file beside it.
#
#   tessarine_embed_translations(<target> JAPANESE <ja.ts> ENGLISH <en.ts>)
#
# generates `tess::translations::Japanese()` and `English()` (std::span<const unsigned char>).
find_program(TESSARINE_LRELEASE NAMES lrelease lrelease-qt6
  HINTS /usr/lib/qt6/bin /usr/lib/x86_64-linux-gnu/qt6/bin
  DOC "the toolkit's release tool for translations (Debian package qt6-l10n-tools)"
  REQUIRED)
set(TESSARINE_EMBED_TRANSLATIONS_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/EmbedTranslationsScript.cmake)

function(tessarine_embed_translations target)
  cmake_parse_arguments(ARG "" "JAPANESE;ENGLISH" "" ${ARGN})
  set(outputs)
  foreach(language JAPANESE ENGLISH)
    get_filename_component(ts ${ARG_${language}} ABSOLUTE)
    get_filename_component(stem ${ts} NAME_WE)
    set(qm ${CMAKE_CURRENT_BINARY_DIR}/translations/${stem}.qm)
    # -nounfinished: a text still marked unfinished must not reach a user half-translated.
    add_custom_command(
      OUTPUT ${qm}
      COMMAND ${TESSARINE_LRELEASE} -silent -nounfinished ${ts} -qm ${qm}
      DEPENDS ${ts}
      COMMENT "Building message catalogue ${stem}"
      VERBATIM)
    set(${language}_QM ${qm})
    list(APPEND outputs ${qm})
  endforeach()
  set(source ${CMAKE_CURRENT_BINARY_DIR}/translations/Catalogues.cpp)
  add_custom_command(
    OUTPUT ${source}
    COMMAND ${CMAKE_COMMAND} -DJAPANESE=${JAPANESE_QM} -DENGLISH=${ENGLISH_QM} -DOUTPUT=${source}
            -P ${TESSARINE_EMBED_TRANSLATIONS_SCRIPT}
    DEPENDS ${outputs} ${TESSARINE_EMBED_TRANSLATIONS_SCRIPT}
    COMMENT "Embedding message catalogues"
    VERBATIM)
  target_sources(${target} PRIVATE ${source})
endfunction()

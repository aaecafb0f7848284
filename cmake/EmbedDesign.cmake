# Stored designs (JSON) are compiled into the program as C++ sources holding their bytes, so no resource
# system is needed outside platform/.
#
#   tessarine_embed_design(<target> <design.json> NAME <identifier> ROOT_CLASS <class> ROOT_HEADER <header>)
#
# generates `std::string_view tess::designs::<identifier>()` returning the design's text, and registers the
# design (platform/components/EmbeddedDesign.h) with a check that builds <class> from it, so the design-validity test can
# load every design the program holds. A design that is not a JSON component object fails the build.
set(TESSARINE_EMBED_DESIGN_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/EmbedDesignScript.cmake)

function(tessarine_embed_design target json)
  cmake_parse_arguments(ARG "" "NAME;ROOT_CLASS;ROOT_HEADER" "" ${ARGN})
  if(NOT ARG_NAME OR NOT ARG_ROOT_CLASS OR NOT ARG_ROOT_HEADER)
    message(FATAL_ERROR "tessarine_embed_design: NAME, ROOT_CLASS and ROOT_HEADER are required")
  endif()
  get_filename_component(input ${json} ABSOLUTE)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/designs/${ARG_NAME}Design.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${output} -DNAME=${ARG_NAME}
            -DROOT_CLASS=${ARG_ROOT_CLASS} -DROOT_HEADER=${ARG_ROOT_HEADER} -P ${TESSARINE_EMBED_DESIGN_SCRIPT}
    DEPENDS ${input} ${TESSARINE_EMBED_DESIGN_SCRIPT}
    COMMENT "Embedding stored design ${ARG_NAME}"
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
endfunction()

# Run by cpack once the files are staged, before the package is made: the programs, already stripped of their
# symbols, also lose the sections a running program never reads (.comment, .note), as Debian's own
# packaging strips them.
file(GLOB programs "${CPACK_TEMPORARY_DIRECTORY}/usr/bin/*")
foreach(program IN LISTS programs)
  execute_process(COMMAND "${CPACK_TESSARINE_STRIP}" --remove-section=.comment --remove-section=.note "${program}"
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot strip ${program}")
  endif()
endforeach()

# The hardening Debian builds its packages with (what dpkg-buildflags gives with hardening=+all on Debian
# 12): fortified library calls, the strong stack protector, format-string checks, relocations made
# read-only and bound at start-up, position-independent executables. Optimised builds only, since
# fortification needs the optimiser; the sanitizer and fuzz builds keep their own instrumentation.
if(NOT TESSARINE_SANITIZE AND NOT TESSARINE_FUZZ)
  set(optimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
  add_compile_definitions("$<${optimised}:_FORTIFY_SOURCE=2>")
  add_compile_options("$<${optimised}:-fstack-protector-strong;-Wformat;-Werror=format-security>")
  add_link_options("$<${optimised}:LINKER:-z,relro;LINKER:-z,now>")
  include(CheckPIESupported)
  check_pie_supported()
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
endif()

# The hardening a Debian package gets: the flags dpkg-buildflags gives for hardening=+all
# (stack protector, fortified functions, full RELRO with immediate binding, PIE), less its
# optimisation and debug choices, which the build type makes. Where this release's dpkg does
# not yet give stack-clash and control-flow protection, they are added.
option(ZANDOR_HARDEN "Build the programs with Debian's hardening flags" ON)
# Fortified functions need an optimised build, so a debug build goes without.
if(ZANDOR_HARDEN AND NOT WIN32 AND NOT ZANDOR_SANITIZE AND NOT ZANDOR_FUZZ
   AND NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
  zandor_require_program(ZANDOR_DPKG_BUILDFLAGS dpkg-buildflags dpkg-dev)
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                            ${ZANDOR_DPKG_BUILDFLAGS} --get ${kind}
                    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^-(O.*|g.*)$")
    set(ZANDOR_${kind} ${flags})
  endforeach()
  foreach(flag -fstack-clash-protection -fcf-protection)
    if(NOT flag IN_LIST ZANDOR_CXXFLAGS)
      list(APPEND ZANDOR_CXXFLAGS ${flag})
    endif()
  endforeach()
  add_compile_options(${ZANDOR_CPPFLAGS} ${ZANDOR_CXXFLAGS})
  add_link_options(${ZANDOR_LDFLAGS})
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  include(CheckPIESupported)
  check_pie_supported()
endif()

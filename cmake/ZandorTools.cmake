# zandor_require_program(VAR program package [find_program options]): the full path of a
# program the build calls, or a configure error that names the Debian package providing it.
function(zandor_require_program var program package)
  find_program(${var} ${program} ${ARGN})
  if(NOT ${var})
    message(FATAL_ERROR "${program} is needed to build ZANDOR: install the ${package} package")
  endif()
endfunction()

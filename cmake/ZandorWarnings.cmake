# The strict warnings every target of ours is built with.
function(zandor_strict_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                           -Wsign-conversion -Wnon-virtual-dtor)
  if(ZANDOR_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

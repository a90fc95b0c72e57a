# Builds that anyone can repeat to the byte: one time stamp for everything the build records,
# no build path in what it writes, and debug information kept apart from the programs.

# The time stamp: SOURCE_DATE_EPOCH when the environment gives it, else the last commit's time.
# A new commit configures again, so the stamp follows the checkout.
set(ZANDOR_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
find_package(Git QUIET)
if(GIT_FOUND AND EXISTS ${PROJECT_SOURCE_DIR}/.git)
  execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --git-path logs/HEAD
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE head_log
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  get_filename_component(head_log "${head_log}" ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
  if(EXISTS "${head_log}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${head_log}")
  endif()
  if(ZANDOR_SOURCE_DATE_EPOCH STREQUAL "")
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE ZANDOR_SOURCE_DATE_EPOCH
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
endif()
if(NOT ZANDOR_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  message(WARNING "Neither SOURCE_DATE_EPOCH nor a git checkout gives a time stamp: "
                  "packages will record the time they are made")
  set(ZANDOR_SOURCE_DATE_EPOCH "")
endif()

# Paths in debug information and in __FILE__ start at "." for the tree and at "build" for the
# build folder, whichever folders they are, so that only the sources and options decide.
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.>"
                    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}=build>")

# Release builds keep debug information: the packages split it off into files of its own.
add_compile_options("$<$<AND:$<CONFIG:Release>,$<COMPILE_LANGUAGE:C,CXX>>:-g>")

# The linker and objcopy write SOURCE_DATE_EPOCH, not the time they run, into a Windows
# program's header.
if(NOT ZANDOR_SOURCE_DATE_EPOCH STREQUAL "")
  set(ZANDOR_WITH_EPOCH ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${ZANDOR_SOURCE_DATE_EPOCH})
endif()
if(WIN32)
  set(CMAKE_CXX_LINKER_LAUNCHER ${ZANDOR_WITH_EPOCH})
endif()

# zandor_split_debug_info(target): on Windows, moves a program's debug information into
# <program>.debug beside it and leaves the program stripped, with a link to that file that
# gdb follows. (On Linux the .deb's debug-symbols package does the same.)
function(zandor_split_debug_info target)
  if(NOT WIN32)
    return()
  endif()
  set(program $<TARGET_FILE:${target}>)
  add_custom_command(TARGET ${target} POST_BUILD
                     COMMAND ${ZANDOR_WITH_EPOCH} ${CMAKE_OBJCOPY} --only-keep-debug ${program}
                             ${program}.debug
                     COMMAND ${ZANDOR_WITH_EPOCH} ${CMAKE_OBJCOPY} --strip-all
                             --add-gnu-debuglink=${program}.debug ${program}
                     VERBATIM)
endfunction()

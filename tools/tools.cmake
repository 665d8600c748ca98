# Springdeck's help files. No WinHelp compiler exists for this platform, so the
# project carries its own: tools/hlpgen, portable C++17 built here for the
# build machine with its native compiler (the rest of the build is a MinGW
# cross-build), then run on the topic sources in tools/help to produce
# springdeck.hlp next to springdeck.exe. From the same topics it writes an HTML
# Help project, which chmcmd (Free Pascal's CHM compiler) turns into
# springdeck.chm beside it.
#
# The generator's library sources are also listed in SD_HLPGEN_LIB_SOURCES so
# that the unit tests (tests/hlpgen) can cross-compile them and run under Wine.

find_program(SD_HOST_CXX NAMES c++ g++ clang++ REQUIRED)

set(SD_HLPGEN_DIR ${CMAKE_CURRENT_LIST_DIR}/hlpgen)
set(SD_HLPGEN_LIB_SOURCES
    ${SD_HLPGEN_DIR}/bytes.cpp
    ${SD_HLPGEN_DIR}/context_hash.cpp
    ${SD_HLPGEN_DIR}/btree.cpp
    ${SD_HLPGEN_DIR}/topic_records.cpp
    ${SD_HLPGEN_DIR}/help_file.cpp
    ${SD_HLPGEN_DIR}/help_reader.cpp
    ${SD_HLPGEN_DIR}/topic_source.cpp
    ${SD_HLPGEN_DIR}/html_help.cpp)
set(SD_HLPGEN ${CMAKE_BINARY_DIR}/host/hlpgen)

add_custom_command(
  OUTPUT ${SD_HLPGEN}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
  COMMAND ${SD_HOST_CXX} -std=c++17 -O2 -Wall -Wextra -o ${SD_HLPGEN}
          ${SD_HLPGEN_LIB_SOURCES} ${SD_HLPGEN_DIR}/main.cpp
  DEPENDS ${SD_HLPGEN_LIB_SOURCES} ${SD_HLPGEN_DIR}/main.cpp ${SD_HLPGEN_DIR}/hlpgen.h
  COMMENT "Building the help generator for the build machine"
  VERBATIM)

file(GLOB SD_HELP_TOPICS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/help/*.txt)
set(SD_HELP_FILE ${CMAKE_BINARY_DIR}/springdeck.hlp)
set(SD_CHM_FILE ${CMAKE_BINARY_DIR}/springdeck.chm)
set(SD_CHM_PROJECT ${CMAKE_BINARY_DIR}/help-chm)
set(SD_CHM_PAGES ${SD_CHM_PROJECT}/proc/self/cwd)  # HtmlHelpPageFolder (hlpgen.h)

add_custom_command(
  OUTPUT ${SD_HELP_FILE} ${SD_CHM_PROJECT}/springdeck.hhp
  COMMAND ${SD_HLPGEN} -o ${SD_HELP_FILE} --chm-project ${SD_CHM_PROJECT} ${SD_CHM_FILE} ${SD_HELP_TOPICS}
  DEPENDS ${SD_HLPGEN} ${SD_HELP_TOPICS}
  COMMENT "Building springdeck.hlp and the HTML Help project"
  VERBATIM)

# chmcmd runs inside the page folder on a project path that names "/" as the
# project folder (hlpgen.h says why). It reports mistakes but still exits
# with 0, so any "Error" it prints fails the build, as does a missing file.
find_program(SD_CHMCMD chmcmd REQUIRED)
add_custom_command(
  OUTPUT ${SD_CHM_FILE}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${SD_CHM_FILE}
  COMMAND sh -c "\"$0\" /proc/self/cwd/../../../springdeck.hhp 2>&1 | tee chmcmd.log; ! grep -q Error chmcmd.log"
          ${SD_CHMCMD}
  COMMAND ${CMAKE_COMMAND} -E sha256sum ${SD_CHM_FILE}
  DEPENDS ${SD_CHM_PROJECT}/springdeck.hhp
  WORKING_DIRECTORY ${SD_CHM_PAGES}
  COMMENT "Building springdeck.chm"
  VERBATIM)

add_custom_target(help_file ALL DEPENDS ${SD_HELP_FILE} ${SD_CHM_FILE})

# Springdeck's help file. No help compiler exists for this platform, so the
# project carries its own: tools/hlpgen, portable C++17 built here for the
# build machine with its native compiler (the rest of the build is a MinGW
# cross-build), then run on the topic sources in tools/help to produce
# springdeck.hlp next to springdeck.exe.
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
    ${SD_HLPGEN_DIR}/topic_source.cpp)
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

add_custom_command(
  OUTPUT ${SD_HELP_FILE}
  COMMAND ${SD_HLPGEN} -o ${SD_HELP_FILE} ${SD_HELP_TOPICS}
  DEPENDS ${SD_HLPGEN} ${SD_HELP_TOPICS}
  COMMENT "Building springdeck.hlp"
  VERBATIM)

add_custom_target(help_file ALL DEPENDS ${SD_HELP_FILE})

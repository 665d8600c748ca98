# The Windows installer and the portable archive (`make package`, target
# `installer`): build/springdeck-<version>-x86.exe, made by NSIS's makensis
# from installer/springdeck.nsi, and build/springdeck-<version>-x86.zip.
# The version is the one of the program's version resource (version.h).
find_program(SD_MAKENSIS makensis REQUIRED)

set(SD_VERSION_HEADER ${CMAKE_SOURCE_DIR}/src/resources/version.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${SD_VERSION_HEADER})
file(STRINGS ${SD_VERSION_HEADER} SD_VERSION_LINES REGEX "^#define SD_VERSION_(MAJOR|MINOR) ")
string(REGEX REPLACE ".*SD_VERSION_MAJOR ([0-9]+).*" "\\1" SD_VERSION_MAJOR "${SD_VERSION_LINES}")
string(REGEX REPLACE ".*SD_VERSION_MINOR ([0-9]+).*" "\\1" SD_VERSION_MINOR "${SD_VERSION_LINES}")
set(SD_VERSION ${SD_VERSION_MAJOR}.${SD_VERSION_MINOR})
set(SD_PACKAGE_NAME springdeck-${SD_VERSION}-x86)

# What goes into the package: the program and the help files (both come from
# the target help_file).
set(SD_PACKAGE_INPUTS springdeck)
if(TARGET help_file)
  list(APPEND SD_PACKAGE_INPUTS help_file)
endif()

add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/${SD_PACKAGE_NAME}.exe ${CMAKE_BINARY_DIR}/${SD_PACKAGE_NAME}.zip
  COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
          -DVERSION=${SD_VERSION} -DNAME=${SD_PACKAGE_NAME} -DMAKENSIS=${SD_MAKENSIS}
          -P ${CMAKE_CURRENT_LIST_DIR}/package.cmake
  DEPENDS ${SD_PACKAGE_INPUTS} ${CMAKE_BINARY_DIR}/springdeck.hlp
          ${CMAKE_CURRENT_LIST_DIR}/springdeck.nsi ${CMAKE_CURRENT_LIST_DIR}/package.cmake
          ${CMAKE_SOURCE_DIR}/src/resources/art/springdeck.ico
  COMMENT "Packaging ${SD_PACKAGE_NAME}.exe and .zip"
  VERBATIM)
add_custom_target(installer DEPENDS ${CMAKE_BINARY_DIR}/${SD_PACKAGE_NAME}.exe)

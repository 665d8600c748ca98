# Writes the installer and the portable archive of one build (cmake -P):
#   -DBUILD_DIR=... -DSOURCE_DIR=... -DVERSION=... -DNAME=springdeck-<version>-x86 -DMAKENSIS=...
# The archive holds a folder Springdeck with the program and its help files
# (the HTML Help file only when the build made one).
set(stage ${BUILD_DIR}/package)
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage}/Springdeck)
foreach(name springdeck.exe springdeck.hlp springdeck.chm)
  if(EXISTS ${BUILD_DIR}/${name})
    file(COPY ${BUILD_DIR}/${name} DESTINATION ${stage}/Springdeck)
  endif()
endforeach()

execute_process(
  COMMAND ${MAKENSIS} -V2 -WX -DVERSION=${VERSION} -DBUILD_DIR=${stage}/Springdeck
          -DART=${SOURCE_DIR}/src/resources/art -DOUTFILE=${BUILD_DIR}/${NAME}.exe
          ${SOURCE_DIR}/installer/springdeck.nsi
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "makensis failed")
endif()

file(REMOVE ${BUILD_DIR}/${NAME}.zip)
execute_process(
  COMMAND ${CMAKE_COMMAND} -E tar cf ${BUILD_DIR}/${NAME}.zip --format=zip Springdeck
  WORKING_DIRECTORY ${stage}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "could not write ${NAME}.zip")
endif()

# Fake LAUNCH32.dll, America Online's launcher library: exports AOLIsInstalled,
# AOLGetScreenName and AOLGoTo as stdcall functions under undecorated names.
add_library(launch32 SHARED ${CMAKE_CURRENT_LIST_DIR}/launch32.cpp)
set_target_properties(launch32 PROPERTIES PREFIX "" OUTPUT_NAME "LAUNCH32"
                      RUNTIME_OUTPUT_DIRECTORY ${SD_TEST_BIN}/doubles)
target_link_options(launch32 PRIVATE -static -Wl,--kill-at)
list(APPEND SD_DOUBLE_TARGETS launch32)

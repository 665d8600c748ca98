# The stand-in Dial-Up Networking folder: an in-process shell folder (COM DLL)
# that the integration tests register in the test prefix.
add_library(dialup SHARED ${CMAKE_CURRENT_LIST_DIR}/dialup.cpp ${CMAKE_CURRENT_LIST_DIR}/dialup.def)
target_link_libraries(dialup PRIVATE ${SD_WIN32_LIBS})
target_link_options(dialup PRIVATE -static)
set_target_properties(dialup PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${SD_TEST_BIN}/doubles)
list(APPEND SD_DOUBLE_TARGETS dialup)

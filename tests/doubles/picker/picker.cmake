# Runs the program assignment dialog in a process of its own, so that a test
# can watch from inside what the dialog frees: it builds the Start Menu cache
# as Springdeck does at start-up, runs PickProgram for one key (as often as
# asked) and ends with its result.
add_executable(picker WIN32 ${CMAKE_CURRENT_LIST_DIR}/picker.cpp ${CMAKE_SOURCE_DIR}/src/resources/springdeck.rc)
target_link_libraries(picker PRIVATE springdeck_lib)
target_link_options(picker PRIVATE -static)
set_target_properties(picker PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SD_TEST_BIN}/doubles)
list(APPEND SD_DOUBLE_TARGETS picker)

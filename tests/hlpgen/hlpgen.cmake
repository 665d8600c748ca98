# Tests of the help generator (tools/hlpgen) and of the springdeck.hlp and
# springdeck.chm built with it. The generator's library is cross-compiled like
# everything else here, so the unit tests run under Wine with the rest; the
# viewer tests open the real files through WinHelpA and HtmlHelpA in Wine's
# viewers. libchm-bin's extractor unpacks springdeck.chm for the unit tests.
add_library(hlpgen_lib STATIC ${SD_HLPGEN_LIB_SOURCES})
target_include_directories(hlpgen_lib PUBLIC ${SD_HLPGEN_DIR})
target_compile_options(hlpgen_lib PRIVATE ${SD_WARNINGS})

set(SD_HLPGEN_UNIT
    ${CMAKE_CURRENT_LIST_DIR}/bytes_hash_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/btree_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/topic_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/help_file_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/topic_source_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/springdeck_help_test.cpp)
add_executable(hlpgen_tests ${SD_HLPGEN_UNIT})
target_link_libraries(hlpgen_tests PRIVATE hlpgen_lib gtest_main)
set(SD_CHM_EXTRACTED ${SD_TEST_BIN}/chm-extracted)
target_compile_definitions(hlpgen_tests PRIVATE SD_HELP_FILE="${SD_HELP_FILE}" SD_CHM_EXTRACTED="${SD_CHM_EXTRACTED}")
target_link_options(hlpgen_tests PRIVATE -static)
set_target_properties(hlpgen_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SD_TEST_BIN})
add_dependencies(hlpgen_tests help_file)
gtest_add_tests(TARGET hlpgen_tests SOURCES ${SD_HLPGEN_UNIT} TEST_PREFIX "hlpgen." TEST_LIST SD_HLPGEN_UNIT_TESTS)
find_program(SD_EXTRACT_CHM extract_chmLib REQUIRED)
add_test(NAME hlpgen.extract_chm
         COMMAND sh -c "rm -rf \"$2\" && \"$0\" \"$1\" \"$2\" >/dev/null"
                 ${SD_EXTRACT_CHM} ${SD_CHM_FILE} ${SD_CHM_EXTRACTED})
set_tests_properties(hlpgen.extract_chm PROPERTIES FIXTURES_SETUP chm_extracted)
set_tests_properties(${SD_HLPGEN_UNIT_TESTS} PROPERTIES FIXTURES_REQUIRED chm_extracted)

set(SD_HLPGEN_VIEWER ${CMAKE_CURRENT_LIST_DIR}/viewer_test.cpp)
add_executable(hlpgen_viewer_tests ${SD_HLPGEN_VIEWER})
target_link_libraries(hlpgen_viewer_tests PRIVATE hlpgen_lib gtest_main user32)
# The run-time lookup of HtmlHelpA goes through the program's own ProcAddress.
target_include_directories(hlpgen_viewer_tests PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_compile_definitions(hlpgen_viewer_tests PRIVATE SD_HELP_FILE="${SD_HELP_FILE}" SD_CHM_FILE="${SD_CHM_FILE}")
target_link_options(hlpgen_viewer_tests PRIVATE -static)
set_target_properties(hlpgen_viewer_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SD_TEST_BIN})
add_dependencies(hlpgen_viewer_tests help_file)
gtest_add_tests(TARGET hlpgen_viewer_tests SOURCES ${SD_HLPGEN_VIEWER} TEST_PREFIX "hlpgen.viewer."
                TEST_LIST SD_HLPGEN_VIEWER_TESTS)
# The viewer is a window on the shared desktop: one at a time with the
# integration tests.
set_tests_properties(${SD_HLPGEN_VIEWER_TESTS} PROPERTIES RESOURCE_LOCK desktop TIMEOUT 240)

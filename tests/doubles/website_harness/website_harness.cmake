# Temporary stand-in for the setup dialog's key chooser: runs "Assign a
# WebSite" or "Select Local Alias" directly, so that they can be driven before
# the setup dialog can open them.
add_executable(website_harness WIN32 ${CMAKE_CURRENT_LIST_DIR}/website_harness.cpp
               ${CMAKE_SOURCE_DIR}/src/resources/springdeck.rc)
target_link_libraries(website_harness PRIVATE springdeck_lib)
target_link_options(website_harness PRIVATE -static)
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/resources/springdeck.rc PROPERTIES
                            OBJECT_DEPENDS "${SD_ART};${SD_RC_PARTS}")
set_target_properties(website_harness PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SD_TEST_BIN}/doubles)
list(APPEND SD_DOUBLE_TARGETS website_harness)

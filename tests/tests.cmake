# Test programs: GoogleTest from the system sources, a Win32 test driver, test
# doubles that stand in for programs Springdeck talks to, and the test suites.
# CTest runs each test under Wine through CMAKE_CROSSCOMPILING_EMULATOR;
# scripts/with-wine.sh provides the display and the prefix.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

set(SD_TEST_BIN ${CMAKE_BINARY_DIR}/tests)

# Test doubles: one exe per .cpp in tests/doubles; doubles that need more (a
# DLL, a COM server) live in a subfolder with a <name>.cmake of their own.
file(GLOB SD_DOUBLES CONFIGURE_DEPENDS tests/doubles/*.cpp)
set(SD_DOUBLE_TARGETS)
foreach(src ${SD_DOUBLES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} WIN32 ${src})
  target_link_libraries(${name} PRIVATE ${SD_WIN32_LIBS})
  target_link_options(${name} PRIVATE -static)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SD_TEST_BIN}/doubles)
  list(APPEND SD_DOUBLE_TARGETS ${name})
endforeach()
file(GLOB SD_DOUBLE_RULES CONFIGURE_DEPENDS tests/doubles/*/*.cmake)
foreach(rules ${SD_DOUBLE_RULES})
  include(${rules})
endforeach()

# The driver library used by the integration tests.
file(GLOB SD_DRIVER CONFIGURE_DEPENDS tests/driver/*.cpp)
add_library(sd_driver STATIC ${SD_DRIVER})
target_include_directories(sd_driver PUBLIC tests/driver src src/resources)
target_link_libraries(sd_driver PUBLIC gtest ${SD_WIN32_LIBS} shlwapi)
target_compile_definitions(sd_driver PRIVATE SD_BUILD_DIR="${CMAKE_BINARY_DIR}")

# Unit tests link the product library directly.
file(GLOB SD_UNIT CONFIGURE_DEPENDS tests/unit/*.cpp)
add_executable(unit_tests ${SD_UNIT})
target_link_libraries(unit_tests PRIVATE springdeck_lib sd_driver gtest_main shlwapi psapi)
target_link_options(unit_tests PRIVATE -static)
set_target_properties(unit_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SD_TEST_BIN})
gtest_add_tests(TARGET unit_tests SOURCES ${SD_UNIT} TEST_PREFIX "unit." TEST_LIST SD_UNIT_TESTS)
# Unit tests share the registry, the hotkeys and the desktop's focus with the
# integration tests: one at a time with those.
set_tests_properties(${SD_UNIT_TESTS} PROPERTIES RESOURCE_LOCK desktop)

# Integration tests drive the real springdeck.exe.
file(GLOB SD_INTEGRATION CONFIGURE_DEPENDS tests/integration/*.cpp)
add_executable(integration_tests ${SD_INTEGRATION})
# The product library gives the tests the tables they check against (preset sites).
target_link_libraries(integration_tests PRIVATE sd_driver springdeck_lib gtest_main)
target_link_options(integration_tests PRIVATE -static)
set_target_properties(integration_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SD_TEST_BIN})
add_dependencies(integration_tests springdeck ${SD_DOUBLE_TARGETS})
gtest_add_tests(TARGET integration_tests SOURCES ${SD_INTEGRATION} TEST_PREFIX "integration."
                TEST_LIST SD_INTEGRATION_TESTS)
# Integration tests share the desktop, the keyboard and the prefix: one at a time.
set_tests_properties(${SD_INTEGRATION_TESTS} PROPERTIES RESOURCE_LOCK desktop TIMEOUT 240)

# The platform matrix: the launch, playback, tray and start-up tests run again
# with Wine reporting Windows 98 and Windows 10 (Wine reports NT 6.1 on its
# own), so that the branches of those systems run too. Each version has a
# prefix and a display of its own (scripts/wine-version.sh, booted and ended
# as a CTest fixture), so its tests run side by side with the others; they
# keep their files in the prefix, as every integration test does.
set(SD_MATRIX_VERSIONS win98 win10)
set(SD_MATRIX_SOURCES program_launch browser_launch playback aol tray startup hotkeys)
list(TRANSFORM SD_MATRIX_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/tests/integration/)
list(TRANSFORM SD_MATRIX_SOURCES APPEND _test.cpp)
set(SD_WINE_VERSION_SCRIPT ${CMAKE_SOURCE_DIR}/scripts/wine-version.sh)
set_target_properties(integration_tests PROPERTIES CROSSCOMPILING_EMULATOR ${SD_WINE_VERSION_SCRIPT})
foreach(version ${SD_MATRIX_VERSIONS})
  add_test(NAME ${version}.boot COMMAND ${SD_WINE_VERSION_SCRIPT} boot ${version})
  add_test(NAME ${version}.end COMMAND ${SD_WINE_VERSION_SCRIPT} end ${version})
  set_tests_properties(${version}.boot PROPERTIES FIXTURES_SETUP wine-${version} TIMEOUT 300)
  set_tests_properties(${version}.end PROPERTIES FIXTURES_CLEANUP wine-${version})
  gtest_add_tests(TARGET integration_tests SOURCES ${SD_MATRIX_SOURCES} TEST_PREFIX "${version}.integration."
                  TEST_LIST SD_MATRIX_TESTS)
  set_tests_properties(${SD_MATRIX_TESTS} PROPERTIES ENVIRONMENT SD_WINE_VERSION=${version}
                       FIXTURES_REQUIRED wine-${version} RESOURCE_LOCK desktop-${version} TIMEOUT 240)
endforeach()

# The screenshot tour that `make run` uses on a virtual display.
add_executable(showcase ${CMAKE_SOURCE_DIR}/tools/showcase/showcase.cpp)
target_link_libraries(showcase PRIVATE sd_driver)
target_link_options(showcase PRIVATE -static)
set_target_properties(showcase PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SD_TEST_BIN})
add_dependencies(showcase springdeck)
include(tests/bench/bench.cmake)
include(tests/hlpgen/hlpgen.cmake)

# ---- the installer ------------------------------------------------------------
# Its tests (tests/integration/installer_test.cpp) run the package that
# `make package` writes, so the test build makes it too.
add_dependencies(integration_tests installer)
target_link_libraries(integration_tests PRIVATE version)

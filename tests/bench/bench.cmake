# Benchmarks: not tests. `make bench` builds these and runs bench.exe under
# Wine; it prints one table and writes build/bench.json.
add_executable(bench_minimal WIN32 ${CMAKE_CURRENT_LIST_DIR}/minimal.cpp)
target_link_options(bench_minimal PRIVATE -static)
set_target_properties(bench_minimal PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SD_TEST_BIN}/bench)

file(GLOB SD_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/figures/*.cpp)
add_executable(bench ${CMAKE_CURRENT_LIST_DIR}/bench.cpp ${SD_BENCH_SOURCES})
target_include_directories(bench PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(bench PRIVATE sd_driver springdeck_lib psapi)
target_link_options(bench PRIVATE -static)
set_target_properties(bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SD_TEST_BIN}/bench)
add_dependencies(bench bench_minimal springdeck ${SD_DOUBLE_TARGETS})

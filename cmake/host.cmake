# Native build: the platform-free code and its unit tests.
include(GoogleTest)

file(GLOB unit_test_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(kestrom_unit_tests ${unit_test_sources})
target_include_directories(kestrom_unit_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/unit)
target_link_libraries(kestrom_unit_tests PRIVATE kestrom_core GTest::gtest GTest::gtest_main)
gtest_discover_tests(kestrom_unit_tests DISCOVERY_MODE PRE_TEST)

file(GLOB bench_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/bench/*.cpp)
if(benchmark_FOUND AND bench_sources)
  add_executable(kestrom_bench ${bench_sources})
  target_link_libraries(kestrom_bench PRIVATE kestrom_core benchmark::benchmark benchmark::benchmark_main)
endif()

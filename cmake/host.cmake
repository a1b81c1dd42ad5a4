# Native build: the platform-free code and its unit tests.
include(GoogleTest)

# Memory and undefined-behaviour checks for the host library and everything
# that links it (g++ or clang); the fuzz targets need them too.
option(KESTROM_SANITIZE "AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(KESTROM_FUZZ "libFuzzer targets of tests/fuzz (clang only)" OFF)
if(KESTROM_SANITIZE OR KESTROM_FUZZ)
  set(sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(kestrom_core PUBLIC ${sanitize_flags})
  target_link_options(kestrom_core PUBLIC ${sanitize_flags})
endif()
if(KESTROM_FUZZ)
  include(${CMAKE_SOURCE_DIR}/cmake/fuzz.cmake)
endif()

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

# The fault matrix in docs/reliability.md names only tests that exist.
add_test(NAME reliability_doc COMMAND python3 ${CMAKE_SOURCE_DIR}/tools/check_reliability_doc.py)

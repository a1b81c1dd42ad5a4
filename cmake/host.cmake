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

# The versions list as a release writes it (cmake/versions_list.cmake), for
# a stand-in installer of 3,902 bytes: the unit tests read it with the
# update check's own reader.
set(sample_dir ${CMAKE_BINARY_DIR}/versions_list_sample)
set(sample_installer ${sample_dir}/${KESTROM_INSTALLER_NAME})
set(sample_list ${sample_dir}/versions.dat)
string(REPEAT "x" 3900 filler)
file(CONFIGURE OUTPUT ${sample_installer} CONTENT "MZ${filler}")
add_custom_command(OUTPUT ${sample_list}
  COMMAND ${CMAKE_COMMAND} -DPRODUCT=${PROJECT_NAME} -DVERSION=${KESTROM_VERSION}
    -DINSTALLER=${sample_installer} -DOUT=${sample_list} -P ${CMAKE_SOURCE_DIR}/cmake/versions_list.cmake
  DEPENDS ${CMAKE_SOURCE_DIR}/cmake/versions_list.cmake ${sample_installer}
  COMMENT "Writing the versions list of a stand-in release")
add_custom_target(versions_list_sample DEPENDS ${sample_list})
add_dependencies(kestrom_unit_tests versions_list_sample)
target_compile_definitions(kestrom_unit_tests PRIVATE
  SAMPLE_INSTALLER="${sample_installer}" SAMPLE_VERSIONS_LIST="${sample_list}"
  TASK_SCHEMA="${CMAKE_SOURCE_DIR}/../shared/taskschd.xsd")

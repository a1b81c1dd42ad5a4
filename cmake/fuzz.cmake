# libFuzzer targets: one per tests/fuzz/*.cpp, each linking the host library
# built with coverage instrumentation. Seed corpora are in tests/fuzz/corpus.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "KESTROM_FUZZ needs clang++ (-DCMAKE_CXX_COMPILER=clang++)")
endif()
target_compile_options(kestrom_core PUBLIC -fsanitize=fuzzer-no-link)

file(GLOB fuzz_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_*.cpp)
foreach(source IN LISTS fuzz_sources)
  get_filename_component(target ${source} NAME_WE)
  # The scanners are checked against the copying reference of the unit tests.
  add_executable(${target} ${source} ${CMAKE_SOURCE_DIR}/tests/unit/reference_scanners.cpp)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/tests/unit)
  target_link_libraries(${target} PRIVATE kestrom_core)
  target_link_options(${target} PRIVATE -fsanitize=fuzzer)
endforeach()

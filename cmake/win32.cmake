# Cross build: the program, its Win32 tests and the tools the end-to-end
# tests drive it with. Everything is linked statically so that the
# executables need no DLL beyond those that come with Windows.
set(static_runtime -static -static-libgcc -static-libstdc++)
# No link time in the executables' headers: a build is the same bytes every time.
add_link_options(-Wl,--no-insert-timestamp)
set(system_libraries wininet comctl32 gdi32 user32 advapi32 shell32 ole32 oleaut32 taskschd mpr bcrypt version)

list(FILTER win_sources EXCLUDE REGEX "/src/app/main_win32\\.cpp$")
add_library(kestrom_win STATIC ${win_sources})
target_link_libraries(kestrom_win PUBLIC kestrom_core ${system_libraries})
target_compile_definitions(kestrom_win PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX
  _WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0600 STRICT)

add_executable(Kestrom WIN32 src/app/main_win32.cpp src/app/kestrom.rc)
# The resources hold the manifest the build writes with the version.
set_source_files_properties(src/app/kestrom.rc PROPERTIES
  OBJECT_DEPENDS ${KESTROM_GENERATED_DIR}/app/kestrom.manifest)
target_link_libraries(Kestrom PRIVATE kestrom_win)
target_link_options(Kestrom PRIVATE ${static_runtime})

# One Win32 test executable per test file, run by ctest through Wine. Each
# carries the program's resources, so that windows under test show their
# bitmaps and get the same common controls as in the program.
file(GLOB win32_test_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/*.cpp)
foreach(source IN LISTS win32_test_sources)
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source} src/app/kestrom.rc)
  target_link_libraries(${name} PRIVATE kestrom_win gtest gtest_main ws2_32)
  # Where the tests find the project's tools (the maker's signing script).
  target_compile_definitions(${name} PRIVATE KESTROM_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  target_link_options(${name} PRIVATE ${static_runtime})
  add_test(NAME win32.${name} COMMAND ${name})
  # Bounds that only a hang reaches: under an emulator a program takes
  # several times as long as where Wine runs 32-bit code itself.
  set_tests_properties(win32.${name} PROPERTIES TIMEOUT 900)
endforeach()

add_executable(uidriver tools/uidriver/uidriver.cpp)
target_link_libraries(uidriver PRIVATE user32 gdi32)
target_compile_definitions(uidriver PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501)
target_link_options(uidriver PRIVATE ${static_runtime})

# Stands in for a downloaded installer and the companion program in the
# update tests; it sits beside Kestrom.exe, where the scenarios find it.
add_executable(installer_standin WIN32 tools/maker_server/installer_standin.cpp
  tools/maker_server/installer_standin.rc)
target_link_options(installer_standin PRIVATE ${static_runtime})
# The terminator's and the installer download's tests start copies of it.
add_dependencies(terminator_test installer_standin)
add_dependencies(update_installer_test installer_standin)
add_dependencies(update_versions_test installer_standin)

# The same stand-in as a 64-bit program: a companion the 32-bit product must
# end on 64-bit Windows. Built with the x86_64 compiler beside this tree's.
set(standin_64 ${CMAKE_BINARY_DIR}/installer_standin64.exe)
add_custom_command(OUTPUT ${standin_64}
  COMMAND x86_64-w64-mingw32-g++ -O2 -mwindows -static
    -o ${standin_64} ${CMAKE_SOURCE_DIR}/tools/maker_server/installer_standin.cpp
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/maker_server/installer_standin.cpp
  COMMENT "Building the 64-bit installer stand-in")
add_custom_target(installer_standin64 ALL DEPENDS ${standin_64})
add_dependencies(terminator_test installer_standin64)
# The clock the end-to-end scenarios set for a run on another day: a Linux
# library for Wine's 32-bit loader, built with the host's compiler.
set(fake_clock ${CMAKE_BINARY_DIR}/fake_clock.so)
add_custom_command(OUTPUT ${fake_clock}
  COMMAND gcc -m32 -O2 -Wall -Wextra -Werror -shared -fPIC -nostdlib
    -o ${fake_clock} ${CMAKE_SOURCE_DIR}/tools/fake_clock/fake_clock.c
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/fake_clock/fake_clock.c
  COMMENT "Building the scenarios' clock library")
add_custom_target(fake_clock ALL DEPENDS ${fake_clock})

# The manifest test reads the program's own resources.
add_dependencies(product_manifest_test Kestrom)

# Stands in for the mail program and the web browser: the scenarios make it
# the shell's command for mailto: and http: addresses; it sits beside
# Kestrom.exe and writes down the addresses it is given.
add_executable(url_recorder WIN32 tools/url_recorder/url_recorder.cpp)
target_link_options(url_recorder PRIVATE ${static_runtime})

# End-to-end scenarios: Kestrom.exe under Wine, driven from outside.
# tools/wine_lanes.sh runs the scenarios labelled lane2 beside the others,
# in a prefix and on a display of their own; the split keeps the two lanes
# about equally long. The installer and update scenarios stay in one lane:
# both use the next release's build tree, which the installer scenario
# rebuilds.
set(second_lane_scenarios test_download test_download_faults)
file(GLOB e2e_scenarios CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/test_*.py)
foreach(scenario IN LISTS e2e_scenarios)
  get_filename_component(name ${scenario} NAME_WE)
  add_test(NAME e2e.${name}
    COMMAND python3 ${scenario}
      --exe $<TARGET_FILE:Kestrom> --driver $<TARGET_FILE:uidriver>
      --artifacts ${CMAKE_BINARY_DIR}/artifacts)
  set_tests_properties(e2e.${name} PROPERTIES TIMEOUT 2400 RESOURCE_LOCK wine_desktop)
  if(name IN_LIST second_lane_scenarios)
    set_tests_properties(e2e.${name} PROPERTIES LABELS lane2)
  endif()
endforeach()

# A release: the installer (installer/kestrom.nsi, built with makensis) and
# the maker's versions list announcing it, in dist/ of this tree, made by
# cmake/release.cmake from what release_settings.cmake says of this tree.
# tools/dist.sh makes the published release with the same script (and
# signs it). Built with everything else, so that the installer scenario
# has them.
find_program(MAKENSIS makensis)
if(MAKENSIS)
  set(dist_dir ${CMAKE_BINARY_DIR}/dist)
  set(dist_installer ${dist_dir}/${KESTROM_INSTALLER_NAME})
  set(dist_list ${dist_dir}/versions.dat)
  set(program_icon ${CMAKE_SOURCE_DIR}/src/app/res/kestrom.ico)
  set(release_settings ${CMAKE_BINARY_DIR}/release_settings.cmake)
  file(CONFIGURE OUTPUT ${release_settings} CONTENT [[
# What this build tree gives a release (cmake/release.cmake).
set(MAKENSIS "@MAKENSIS@")
set(SCRIPT "@CMAKE_SOURCE_DIR@/installer/kestrom.nsi")
set(ICON "@program_icon@")
set(PRODUCT "@PROJECT_NAME@")
set(VERSION "@KESTROM_VERSION@")
set(VERSION_NUMBERS "@KESTROM_VERSION_NUMBERS@")
set(INSTALLER_NAME "@KESTROM_INSTALLER_NAME@")
set(TEST_RELEASE @KESTROM_TEST_RELEASE@)
]] @ONLY)
  add_custom_command(OUTPUT ${dist_installer} ${dist_list}
    COMMAND ${CMAKE_COMMAND} -DSETTINGS=${release_settings} -DPROGRAM=$<TARGET_FILE:Kestrom>
      -DDIR=${dist_dir} -P ${CMAKE_SOURCE_DIR}/cmake/release.cmake
    DEPENDS Kestrom ${release_settings} ${CMAKE_SOURCE_DIR}/installer/kestrom.nsi ${program_icon}
      ${CMAKE_SOURCE_DIR}/cmake/release.cmake ${CMAKE_SOURCE_DIR}/cmake/versions_list.cmake
    COMMENT "Building the installer ${KESTROM_INSTALLER_NAME} and the versions list")
  add_custom_target(dist ALL DEPENDS ${dist_installer} ${dist_list})

  # The next release, 1.01c, from the same sources: the program only, in a
  # tree of their own, for the scenario in which the update window of an
  # installed 1.00c installs it; the scenario makes the release from that
  # tree with tools/dist.sh, signed with keys it makes. That tree builds no
  # tests and no next release of its own.
  option(KESTROM_NEXT_RELEASE "Also build release 1.01c's program (release-1.01c)" ON)
  set(next_version 1.01c)
  if(KESTROM_NEXT_RELEASE AND NOT KESTROM_VERSION STREQUAL next_version)
    set(next_tree ${CMAKE_BINARY_DIR}/release-${next_version})
    cmake_host_system_information(RESULT next_jobs QUERY NUMBER_OF_LOGICAL_CORES)
    add_custom_command(OUTPUT ${next_tree}/CMakeCache.txt
      COMMAND ${CMAKE_COMMAND} -S ${CMAKE_SOURCE_DIR} -B ${next_tree} -G ${CMAKE_GENERATOR} --log-level=WARNING
        -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE} -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
        -DKESTROM_VERSION=${next_version} -DKESTROM_NEXT_RELEASE=OFF
      COMMENT "Configuring release ${next_version} in ${next_tree}"
      VERBATIM)
    # Always run; the tree's own build decides what is out of date. The
    # outer make's job slots do not reach this inner build, so it gets its own.
    add_custom_target(next_release ALL
      COMMAND ${CMAKE_COMMAND} -E env --unset=MAKEFLAGS --unset=MAKELEVEL
        ${CMAKE_COMMAND} --build ${next_tree} --target Kestrom -j ${next_jobs}
      DEPENDS ${next_tree}/CMakeCache.txt
      COMMENT "Building release ${next_version}'s program"
      VERBATIM)
  endif()
endif()

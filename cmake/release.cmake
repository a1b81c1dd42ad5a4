# A release: the installer (installer/kestrom.nsi, built with makensis) and
# the versions list that announces it, both in DIR:
#   cmake -DSETTINGS=<build tree>/release_settings.cmake -DPROGRAM=Kestrom.exe
#         -DDIR=dist [-DSIGN=tools/codesign.sh] -P cmake/release.cmake
# SETTINGS, written by the build, holds what the tree knows: makensis, the
# version, the icon, the installer's name, whether it is a test release.
# SIGN is the command that gives a file Windows' code signature (its last
# argument): makensis signs the uninstaller with it before it goes into the
# installer, and then the installer itself; the list, written after, has
# the signed installer's size.
cmake_minimum_required(VERSION 3.20)
foreach(name SETTINGS PROGRAM DIR)
  if(NOT DEFINED ${name})
    message(FATAL_ERROR "release.cmake needs -D${name}=...")
  endif()
endforeach()
include(${SETTINGS})

set(sign_define)
if(DEFINED SIGN)
  set(sign_define "-DSIGN=${SIGN}")
endif()
file(MAKE_DIRECTORY ${DIR})
# makensis writes no time into the installer (its PE time stamp is that of
# NSIS's prebuilt stub) and the script keeps no file times.
execute_process(
  COMMAND ${MAKENSIS} -V2 -WX -NOCD -DVERSION=${VERSION} -DVERSION_NUMBERS=${VERSION_NUMBERS}
    -DPROGRAM=${PROGRAM} -DICON=${ICON} -DOUTFILE=${DIR}/${INSTALLER_NAME} ${sign_define} ${SCRIPT}
  RESULT_VARIABLE makensis_result)
if(NOT makensis_result EQUAL 0)
  message(FATAL_ERROR "makensis failed (${makensis_result}): no installer ${DIR}/${INSTALLER_NAME}")
endif()

set(INSTALLER ${DIR}/${INSTALLER_NAME})
set(OUT ${DIR}/versions.dat)
include(${CMAKE_CURRENT_LIST_DIR}/versions_list.cmake)

# Writes the maker's versions list with the product's one record, as the
# update check reads it:
#   cmake -DPRODUCT=Kestrom -DVERSION=1.00c -DINSTALLER=dist/kestrom100.exe
#         -DOUT=dist/versions.dat [-DTEST_RELEASE=ON] -P cmake/versions_list.cmake
# The record's fields: product name, installer file name, version letter,
# installer size in whole kilobytes, an unused field, a Dutch and an English
# line. No field may hold a comma; the record ends in CR LF, and the whole
# text is at least 50 characters (a shorter one counts as a broken list).
# A test release (a program that trusts the placeholder key) says so in
# both lines, which people read and the program does not.
cmake_minimum_required(VERSION 3.20)
foreach(name PRODUCT VERSION INSTALLER OUT)
  if(NOT DEFINED ${name})
    message(FATAL_ERROR "versions_list.cmake needs -D${name}=...")
  endif()
endforeach()
if(NOT VERSION MATCHES "^[0-9]\\.[0-9][0-9]([a-z])$")
  message(FATAL_ERROR "versions_list.cmake: version \"${VERSION}\" is not like 1.00c")
endif()
set(letter ${CMAKE_MATCH_1})
get_filename_component(installer_name "${INSTALLER}" NAME)
file(SIZE "${INSTALLER}" bytes)
math(EXPR kilobytes "${bytes} / 1024")

set(dutch "${PRODUCT} versie ${VERSION}")
set(english "${PRODUCT} version ${VERSION}")
if(TEST_RELEASE)
  string(APPEND dutch " (testversie)")
  string(APPEND english " (test release)")
endif()
set(fields "${PRODUCT}" "${installer_name}" "${letter}" "${kilobytes}" "" "${dutch}" "${english}")
foreach(field IN LISTS fields)
  if(field MATCHES "[,\r\n]")
    message(FATAL_ERROR "versions_list.cmake: the field \"${field}\" holds a comma or a line end")
  endif()
endforeach()
list(JOIN fields "," record)
set(text "${record}\r\n")
string(LENGTH "${text}" length)
if(length LESS 50)
  message(FATAL_ERROR "versions_list.cmake: the list \"${record}\" is shorter than 50 characters")
endif()
file(WRITE "${OUT}" "${text}")

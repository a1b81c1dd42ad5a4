# The program's version has one home: the option KESTROM_VERSION. The version
# text, the version information and manifest of the executable, the
# installer's name and version and the versions-list record all come from
# it; another version is one option away (cmake -DKESTROM_VERSION=1.01c).
set(KESTROM_VERSION "1.00c" CACHE STRING
  "Program version: a digit, a point, two digits and a lower-case letter")
if(NOT KESTROM_VERSION MATCHES "^([0-9])\\.([0-9])([0-9])([a-z])$")
  message(FATAL_ERROR "KESTROM_VERSION is \"${KESTROM_VERSION}\": expected a digit, "
    "a point, two digits and a lower-case letter, such as 1.00c")
endif()
set(version_digits "${CMAKE_MATCH_1}${CMAKE_MATCH_2}${CMAKE_MATCH_3}")
set(KESTROM_VERSION_LETTER "${CMAKE_MATCH_4}")
# Windows' four-part version: the three digits, then the letter counted
# from a = 1, so that 1.00c is 1.0.0.3 and later versions compare greater.
string(FIND "abcdefghijklmnopqrstuvwxyz" "${KESTROM_VERSION_LETTER}" letter_index)
math(EXPR letter_number "${letter_index} + 1")
set(KESTROM_VERSION_NUMBERS "${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.${CMAKE_MATCH_3}.${letter_number}")
string(REPLACE "." "," KESTROM_VERSION_COMMAS "${KESTROM_VERSION_NUMBERS}")
# The installer: the product's name in lower case and the version's three
# digits, the name the update check reads the newest version from.
string(TOLOWER "${PROJECT_NAME}" product_lower)
set(KESTROM_INSTALLER_NAME "${product_lower}${version_digits}.exe")

set(KESTROM_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_SOURCE_DIR}/src/support/version.h.in ${KESTROM_GENERATED_DIR}/support/version.h @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/src/app/res/kestrom.manifest.in
  ${KESTROM_GENERATED_DIR}/app/kestrom.manifest @ONLY)

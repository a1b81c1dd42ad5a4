# The maker's public key, the one key whose signature makes a downloaded
# installer trusted enough to start, has one home: the option
# KESTROM_MAKER_KEY, 128 hex digits (X then Y of the P-256 point, as
# tools/sign_installer.sh --public-key prints it). tools/dist.sh sets it from
# the signing key, so that a release trusts the key that signs it. Empty, a
# build trusts the placeholder key of cmake/placeholder_maker_key.txt, whose
# private half nobody has: a test build, and its versions list says so.
set(KESTROM_MAKER_KEY "" CACHE STRING
  "The maker's public key the program trusts: 128 hex digits; empty for the placeholder (a test build)")
file(STRINGS ${CMAKE_SOURCE_DIR}/cmake/placeholder_maker_key.txt placeholder_key LIMIT_COUNT 1)
string(TOLOWER "${KESTROM_MAKER_KEY}" maker_key)
string(LENGTH "${maker_key}" maker_key_length)
if(maker_key STREQUAL "")
  set(maker_key "${placeholder_key}")
elseif(NOT maker_key MATCHES "^[0-9a-f]+$" OR NOT maker_key_length EQUAL 128)
  message(FATAL_ERROR "KESTROM_MAKER_KEY is \"${KESTROM_MAKER_KEY}\": expected 128 hex digits "
    "(tools/sign_installer.sh --public-key KEY.pem prints them), or nothing for the placeholder")
endif()
if(maker_key STREQUAL placeholder_key)
  set(KESTROM_TEST_RELEASE ON)
else()
  set(KESTROM_TEST_RELEASE OFF)
endif()
set(KESTROM_MAKER_KEY_HEX "${maker_key}")
configure_file(${CMAKE_SOURCE_DIR}/src/update/built_in_maker_key.h.in
  ${KESTROM_GENERATED_DIR}/update/built_in_maker_key.h @ONLY)

#!/usr/bin/env bash
# Gives Windows programs the maker's code signature (Authenticode) with
# osslsigncode, each file in place:
#   tools/codesign.sh FILE...
# The certificate and key come from the environment, never from the
# repository:
#   KESTROM_CODESIGN_CERT      the code-signing certificate with its chain (PEM or DER)
#   KESTROM_CODESIGN_KEY       its private key: a key file (PEM or DER), or the
#                              key's PKCS#11 URI ("pkcs11:...") on a token
#   KESTROM_CODESIGN_PKCS11_MODULE  the token's PKCS#11 module (with a pkcs11: key)
#   KESTROM_CODESIGN_PKCS11_ENGINE  OpenSSL's PKCS#11 engine, when osslsigncode
#                              does not find it by itself
#   KESTROM_CODESIGN_PASSWORD_FILE  a file holding the key's password or PIN
#   KESTROM_CODESIGN_TIMESTAMP      an RFC 3161 time-stamp server's address: the
#                              signature then stays valid after the certificate expires
# makensis runs it for the uninstaller on a temporary file without the
# ".exe" ending; osslsigncode tells a program by its content.
set -euo pipefail
[ $# -ge 1 ] || { sed -n '2,18s/^# \{0,1\}//p' "$0" >&2; exit 2; }
: "${KESTROM_CODESIGN_CERT:?names the code-signing certificate}"
: "${KESTROM_CODESIGN_KEY:?names the code-signing key}"

options=(-h sha256 -n Kestrom -certs "$KESTROM_CODESIGN_CERT" -key "$KESTROM_CODESIGN_KEY")
if [[ $KESTROM_CODESIGN_KEY == pkcs11:* ]]; then
  : "${KESTROM_CODESIGN_PKCS11_MODULE:?names the PKCS#11 module of the token that holds the key}"
  options+=(-pkcs11module "$KESTROM_CODESIGN_PKCS11_MODULE")
  [ -z "${KESTROM_CODESIGN_PKCS11_ENGINE:-}" ] || options+=(-pkcs11engine "$KESTROM_CODESIGN_PKCS11_ENGINE")
fi
[ -z "${KESTROM_CODESIGN_PASSWORD_FILE:-}" ] || options+=(-readpass "$KESTROM_CODESIGN_PASSWORD_FILE")
[ -z "${KESTROM_CODESIGN_TIMESTAMP:-}" ] || options+=(-ts "$KESTROM_CODESIGN_TIMESTAMP")

# osslsigncode 2.5 reports its errors on standard output, among the rest.
for file in "$@"; do
  rm -f "$file.signed"
  if ! report=$(osslsigncode sign "${options[@]}" -in "$file" -out "$file.signed" 2>&1); then
    rm -f "$file.signed"
    echo "codesign: $file not signed: $report" >&2
    exit 1
  fi
  mv -f "$file.signed" "$file"
done

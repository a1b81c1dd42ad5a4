#!/usr/bin/env bash
# The maker's signatures of installers: ECDSA P-256 over SHA-256, in the
# DER form openssl writes, published beside each installer as its name plus
# ".sig". Kestrom starts a downloaded installer only with a valid one.
#
#   sign_installer.sh --new-key KEY.pem [OUT]
#       make a private key (keep it secret, never in the repository) and
#       print its public key, or write it to OUT
#   sign_installer.sh --public-key KEY.pem [OUT]
#       print the public key of KEY.pem, or write it to OUT: 128 hex digits,
#       X then Y, the form of the build option KESTROM_MAKER_KEY and
#       of the "Update Key" registry value
#   sign_installer.sh KEY.pem INSTALLER...
#       write INSTALLER.sig beside each installer and verify it
#
# Every file appears whole under its name (written aside, then renamed).
set -euo pipefail

public_key() {
  # The DER public key ends in the uncompressed point 04 || X || Y.
  local hex
  hex=$(openssl ec -in "$1" -pubout -outform DER 2>/dev/null | tail -c 64 | od -An -v -tx1 | tr -d ' \n')
  if [ -n "${2:-}" ]; then
    echo "$hex" >"$2.part"
    mv -f "$2.part" "$2"
  else
    echo "$hex"
  fi
}

case "${1:-}" in
  --new-key)
    [ $# -eq 2 ] || [ $# -eq 3 ] || { echo "usage: $0 --new-key KEY.pem [OUT]" >&2; exit 2; }
    (umask 077 && openssl ecparam -name prime256v1 -genkey -noout -out "$2.part" && mv -f "$2.part" "$2")
    public_key "$2" "${3:-}"
    ;;
  --public-key)
    [ $# -eq 2 ] || [ $# -eq 3 ] || { echo "usage: $0 --public-key KEY.pem [OUT]" >&2; exit 2; }
    public_key "$2" "${3:-}"
    ;;
  ""|-*)
    sed -n '2,16s/^# \{0,1\}//p' "$0" >&2
    exit 2
    ;;
  *)
    key=$1
    shift
    [ $# -ge 1 ] || { echo "usage: $0 KEY.pem INSTALLER..." >&2; exit 2; }
    public=$(mktemp)
    trap 'rm -f "$public"' EXIT
    openssl ec -in "$key" -pubout -out "$public" 2>/dev/null
    for installer in "$@"; do
      openssl dgst -sha256 -sign "$key" -out "$installer.sig.part" "$installer"
      openssl dgst -sha256 -verify "$public" -signature "$installer.sig.part" "$installer" >/dev/null
      mv -f "$installer.sig.part" "$installer.sig"
      echo "$installer.sig"
    done
    ;;
esac

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
#   sign_installer.sh --verify HEX INSTALLER...
#       verify each INSTALLER.sig against the public key HEX (128 hex
#       digits) as the program takes it: X and Y of a point on P-256
#
# Only keys on the P-256 curve (prime256v1) are taken: the program checks
# no other, so a release signed on another curve could never be updated.
# Every file appears whole under its name (written aside, then renamed).
set -euo pipefail

# The DER SubjectPublicKeyInfo of a P-256 key up to its point's X and Y:
# the key the program imports, in the form openssl reads.
P256_PUBLIC_PREFIX=3059301306072a8648ce3d020106082a8648ce3d03010703420004

require_p256() {
  openssl ec -in "$1" -noout -text 2>/dev/null | grep -qx 'ASN1 OID: prime256v1' || {
    echo "sign_installer: $1 is not a private key on the P-256 curve (prime256v1)" >&2
    exit 1
  }
}

# HEX as the PEM public key file $2.
hex_public_key() {
  [[ $1 =~ ^[0-9a-fA-F]{128}$ ]] || { echo "sign_installer: not 128 hex digits: $1" >&2; exit 1; }
  printf '%b' "$(echo "$P256_PUBLIC_PREFIX$1" | sed 's/../\\x&/g')" |
    openssl pkey -pubin -inform DER -out "$2" 2>/dev/null ||
    { echo "sign_installer: $1 is no point of the P-256 curve" >&2; exit 1; }
}

# The signature file $2 of $3 against the PEM public key $1.
signature_holds() {
  openssl dgst -sha256 -verify "$1" -signature "$2" "$3" >/dev/null 2>&1
}

# A PEM file of the public key HEX, removed when the script ends.
public_pem() {
  pem=$(mktemp)
  trap 'rm -f "$pem"' EXIT
  hex_public_key "$1" "$pem"
}

public_key() {
  require_p256 "$1"
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
  --verify)
    [ $# -ge 3 ] || { echo "usage: $0 --verify HEX INSTALLER..." >&2; exit 2; }
    public_pem "$2"
    shift 2
    for installer in "$@"; do
      signature_holds "$pem" "$installer.sig" "$installer" ||
        { echo "sign_installer: $installer.sig does not hold for that key" >&2; exit 1; }
    done
    ;;
  ""|-*)
    sed -n '2,23s/^# \{0,1\}//p' "$0" >&2
    exit 2
    ;;
  *)
    key=$1
    shift
    [ $# -ge 1 ] || { echo "usage: $0 KEY.pem INSTALLER..." >&2; exit 2; }
    hex=$(public_key "$key")
    # Verified as the program will: with the 128 digits of the key.
    public_pem "$hex"
    for installer in "$@"; do
      openssl dgst -sha256 -sign "$key" -out "$installer.sig.part" "$installer"
      signature_holds "$pem" "$installer.sig.part" "$installer" ||
        { rm -f "$installer.sig.part"; echo "sign_installer: the signature of $installer does not hold" >&2; exit 1; }
      mv -f "$installer.sig.part" "$installer.sig"
      echo "$installer.sig"
    done
    ;;
esac

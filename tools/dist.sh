#!/usr/bin/env bash
# A release for the maker's web server: the installer, its signature and
# the versions list that announces it, in dist/ (or the folder given).
#   tools/dist.sh [OUT]
# KESTROM_VERSION=1.01c  builds that version instead of the default one,
#                        in a build tree of its own (build/win32-1.01c).
# KESTROM_TREE=DIR       releases from that build tree instead (it keeps
#                        the version it was configured with).
# KESTROM_SIGNING_KEY=F  the maker's private key (PEM): the program is built
#                        to trust its public half, and the installer gets
#                        its signature (tools/sign_installer.sh). Without it
#                        the release is a test release: unsigned, its
#                        program trusts the placeholder key, and its
#                        versions list says so.
# KESTROM_MAKER_KEY=HEX  the maker's public key (128 hex digits) the release
#                        must trust: with another signing key nothing is
#                        built. Optional; it guards against the wrong key.
# KESTROM_CODESIGN_CERT and KESTROM_CODESIGN_KEY (tools/codesign.sh): give
#                        Kestrom.exe, the uninstaller and the installer the
#                        maker's Windows code signature.
#
# The order keeps everything true of the published bytes: the program is
# code-signed, the installer is built around it and code-signed, then the
# versions list gets the signed installer's size and the maker's signature
# is made of the signed installer. Of OUT only this release's files are
# written or replaced, each whole; the installer and its signature before
# the list that names them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/dist}
tree=${KESTROM_TREE:-$root/build/win32${KESTROM_VERSION:+-$KESTROM_VERSION}}
placeholder=$(head -n 1 "$root/cmake/placeholder_maker_key.txt")

fail() {
  echo "dist: $*" >&2
  exit 1
}

# Which key the program trusts, decided before anything is built.
if [ -n "${KESTROM_SIGNING_KEY:-}" ]; then
  [ -r "$KESTROM_SIGNING_KEY" ] || fail "cannot read the signing key $KESTROM_SIGNING_KEY"
  # Only the P-256 curve: the program checks no other, and a release
  # signed on another would refuse every update for ever.
  key=$("$root/tools/sign_installer.sh" --public-key "$KESTROM_SIGNING_KEY") || key=""
  [[ $key =~ ^[0-9a-f]{128}$ ]] ||
    fail "$KESTROM_SIGNING_KEY is not a private key on the P-256 curve (prime256v1;" \
      "tools/sign_installer.sh --new-key makes one). Nothing is built."
  expected=$(echo "${KESTROM_MAKER_KEY:-$key}" | tr 'A-F' 'a-f')
  if [ "$expected" = "$placeholder" ] || [ "$key" = "$placeholder" ]; then
    fail "refused: a signed release whose program trusts the placeholder key could never be updated again"
  fi
  if [ "$expected" != "$key" ]; then
    fail "the signing key is not the maker's key the release is to trust: KESTROM_MAKER_KEY is" \
      "$expected, $KESTROM_SIGNING_KEY's public key is $key. Nothing is built."
  fi
else
  [ -z "${KESTROM_MAKER_KEY:-}" ] ||
    fail "KESTROM_MAKER_KEY is set without KESTROM_SIGNING_KEY: a release that trusts a key is signed with it"
  key=""
fi
codesign=""
if [ -n "${KESTROM_CODESIGN_CERT:-}" ] || [ -n "${KESTROM_CODESIGN_KEY:-}" ]; then
  [ -n "${KESTROM_CODESIGN_CERT:-}" ] && [ -n "${KESTROM_CODESIGN_KEY:-}" ] ||
    fail "code signing needs both KESTROM_CODESIGN_CERT and KESTROM_CODESIGN_KEY"
  command -v osslsigncode >/dev/null || fail "osslsigncode is missing (tools/install_deps.sh installs it)"
  codesign=$root/tools/codesign.sh
fi

KESTROM_MAKER_KEY=$key "$root/tools/build_windows.sh" "$tree" Kestrom
program=$tree/Kestrom.exe
# The key is in the program as its hex text (update/built_in_maker_key.h).
LC_ALL=C grep -qaF "${key:-$placeholder}" "$program" ||
  fail "$program does not trust the key it is released for (${key:-the placeholder}): a build that missed it"

mkdir -p "$out"
stage=$(mktemp -d "$out/.dist.XXXXXX")
trap 'rm -rf "$stage"' EXIT
settings=(-DSETTINGS="$tree/release_settings.cmake" -DDIR="$stage/release")
if [ -n "$codesign" ]; then
  cp "$program" "$stage/Kestrom.exe"
  "$codesign" "$stage/Kestrom.exe"
  program=$stage/Kestrom.exe
  settings+=(-DSIGN="$codesign")
fi
cmake "${settings[@]}" -DPROGRAM="$program" -P "$root/cmake/release.cmake"
list=$stage/release/versions.dat
# The installer is the one the list names (field 1 of its record).
installer=$(head -n 1 "$list" | cut -d , -f 2)
if [ -n "$key" ]; then
  "$root/tools/sign_installer.sh" "$KESTROM_SIGNING_KEY" "$stage/release/$installer" >/dev/null
  # With the 128 digits the program carries, as it imports them.
  "$root/tools/sign_installer.sh" --verify "$key" "$stage/release/$installer" ||
    fail "the signature of $installer does not hold for the key $key the program trusts. Nothing is published."
fi

mv -f "$stage/release/$installer" "$out/$installer"
if [ -n "$key" ]; then
  mv -f "$stage/release/$installer.sig" "$out/$installer.sig"
else
  # A signature of an earlier build under this name would not be this one's.
  rm -f "$out/$installer.sig"
fi
mv -f "$list" "$out/versions.dat"

if [ -n "$key" ]; then
  files="$installer $installer.sig versions.dat"
  echo "dist: release signed with the maker's key ${key:0:16}..., which its program trusts" >&2
else
  files="$installer versions.dat"
  echo "dist: TEST RELEASE: unsigned, its program trusts the placeholder key; not for the maker's web server" \
    "(KESTROM_SIGNING_KEY names the maker's private key)" >&2
fi
if [ -n "$codesign" ]; then
  echo "dist: Kestrom.exe, the uninstaller and the installer carry the code signature of $KESTROM_CODESIGN_CERT" >&2
else
  echo "dist: no code signature (KESTROM_CODESIGN_CERT and KESTROM_CODESIGN_KEY name the certificate and key)" >&2
fi
echo "dist: $files in $out"

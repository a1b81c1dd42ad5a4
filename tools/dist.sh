#!/usr/bin/env bash
# A release for the maker's web server: the installer, its signature and
# the versions list that announces it, in dist/ (or the folder given).
#   tools/dist.sh [OUT]
# KESTROM_VERSION=1.01c  builds that version instead of the default one,
#                        in a build tree of its own (build/win32-1.01c).
# KESTROM_SIGNING_KEY=F  signs the installer with the maker's private key F
#                        (PEM) through tools/sign_installer.sh, which writes
#                        the installer's name + ".sig". Without it the
#                        release is unsigned.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/dist}
tree=$root/build/win32${KESTROM_VERSION:+-$KESTROM_VERSION}

"$root/tools/build_windows.sh" "$tree" dist
list=$tree/dist/versions.dat
# The installer is the one the list names (field 1 of its record).
installer=$(head -n 1 "$list" | cut -d , -f 2)

mkdir -p "$out"
rm -f "$out"/*.exe "$out"/*.exe.sig "$out/versions.dat"
cp "$tree/dist/$installer" "$list" "$out/"

if [ -n "${KESTROM_SIGNING_KEY:-}" ]; then
  signer=$root/tools/sign_installer.sh
  if [ ! -f "$signer" ]; then
    echo "dist: KESTROM_SIGNING_KEY is set, but $signer is missing: no signed release" >&2
    exit 1
  fi
  bash "$signer" "$KESTROM_SIGNING_KEY" "$out/$installer"
  if [ ! -s "$out/$installer.sig" ]; then
    echo "dist: $signer wrote no $installer.sig" >&2
    exit 1
  fi
else
  echo "dist: unsigned (KESTROM_SIGNING_KEY names the maker's private key)" >&2
fi
echo "dist: $(cd "$out" && ls -1 | tr '\n' ' ')in $out"

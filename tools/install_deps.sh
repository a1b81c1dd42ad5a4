#!/usr/bin/env bash
# Installs what building and running Kestrom needs on Debian 12, once.
# Idempotent and quiet: when everything is there it does nothing.
set -euo pipefail

packages=(
  cmake make g++ clang libclang-rt-14-dev libgtest-dev libbenchmark-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64
  wine wine32:i386 wine64
  xvfb xauth x11-utils imagemagick
  fonts-dejavu-core fonts-liberation fonts-wine
  python3 openssl nsis osslsigncode
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}" >&2
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq >/dev/null
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Where the kernel refuses 32-bit code, Wine's 32-bit loader runs under
# qemu-i386 (tools/wine_env.sh chooses).
if [ "${KESTROM_WINE_EMULATED:-0}" = 1 ] || ! timeout 20 /usr/lib/wine/wine --version >/dev/null 2>&1; then
  "$(dirname "$0")/emulated_wine.sh"
fi

#!/usr/bin/env bash
# Configures and builds the cross-build tree of the product (i686):
# build/win32, or the folder given; all of it, or the targets given.
#   tools/build_windows.sh [DIR [TARGET...]]
# KESTROM_VERSION, when set, is the version a new tree is configured with.
# KESTROM_MAKER_KEY is the maker's public key the program trusts (128 hex
# digits); unset, the placeholder key of a test build. It is what this
# build gives, whatever the tree was configured with before.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build/win32}
targets=("${@:2}")
key=${KESTROM_MAKER_KEY:-}
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DKESTROM_MAKER_KEY="$key" \
    ${KESTROM_VERSION:+-DKESTROM_VERSION="$KESTROM_VERSION"} >/dev/null
elif ! grep -qxF "KESTROM_MAKER_KEY:STRING=$key" "$dir/CMakeCache.txt"; then
  cmake -S "$root" -B "$dir" -DKESTROM_MAKER_KEY="$key" >/dev/null
fi
cmake --build "$dir" -j"${JOBS:-2}" ${targets[@]:+--target "${targets[@]}"}

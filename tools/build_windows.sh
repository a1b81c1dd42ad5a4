#!/usr/bin/env bash
# Configures (once) and builds the cross-build tree of the product (i686):
# build/win32, or the folder given; all of it, or the targets given.
#   tools/build_windows.sh [DIR [TARGET...]]
# KESTROM_VERSION, when set, is the version a new tree is configured with.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build/win32}
targets=("${@:2}")
[ -f "$dir/CMakeCache.txt" ] || cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  ${KESTROM_VERSION:+-DKESTROM_VERSION="$KESTROM_VERSION"} >/dev/null
cmake --build "$dir" -j"${JOBS:-2}" ${targets[@]:+--target "${targets[@]}"}

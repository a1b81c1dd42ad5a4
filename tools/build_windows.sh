#!/usr/bin/env bash
# Configures (once) and builds the cross-build tree of the product (i686):
# build/win32, or the folder given.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build/win32}
[ -f "$dir/CMakeCache.txt" ] || cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$dir" -j"${JOBS:-2}"

#!/usr/bin/env bash
# Configures (once) and builds one cross-build tree (in build/ARCH or the
# folder given second): win32 (the product,
# i686) or win64 (the same sources for x86_64, where Wine runs only 64-bit
# code).
set -euo pipefail
arch=$1
root=$(cd "$(dirname "$0")/.." && pwd)
case "$arch" in
  win32) toolchain=$root/cmake/mingw-i686.cmake ;;
  win64) toolchain=$root/cmake/mingw-x86_64.cmake ;;
  *) echo "usage: $0 win32|win64" >&2; exit 2 ;;
esac
dir=${2:-$root/build/$arch}
[ -f "$dir/CMakeCache.txt" ] || cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" >/dev/null
cmake --build "$dir" -j"${JOBS:-2}"

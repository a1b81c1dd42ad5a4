# Sourced by the scripts that run Wine: the project's own prefix and quiet
# settings, never the user's ~/.wine.
KESTROM_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${KESTROM_WINEPREFIX:-$KESTROM_ROOT/build/wineprefix}"
export WINEDEBUG=-all
# No Mono or Gecko installer prompts.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Some Linux kernels (sandboxes among them) cannot execute 32-bit code, and
# Wine's 32-bit loader with them. There Wine runs 64-bit programs only, and
# the tests run the 64-bit build of the same sources.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  KESTROM_WINE=wine
  KESTROM_TEST_ARCH=win32
else
  KESTROM_WINE=/usr/lib/wine/wine64
  export WINELOADER=$KESTROM_WINE
  KESTROM_TEST_ARCH=win64
fi
export KESTROM_WINE KESTROM_TEST_ARCH

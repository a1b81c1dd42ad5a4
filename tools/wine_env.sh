# Sourced by the scripts that run Wine: the project's own prefix and quiet
# settings, never the user's ~/.wine, and the Wine loader that runs the
# 32-bit product on this machine.
KESTROM_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${KESTROM_WINEPREFIX:-$KESTROM_ROOT/build/wineprefix}"
export WINEDEBUG=-all
# No Mono or Gecko installer prompts.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Wine's own 32-bit loader where the kernel executes 32-bit code; where it
# refuses (some sandboxes), the same loader under qemu-i386, which
# tools/emulated_wine.sh sets up (KESTROM_WINE_EMULATED=1 takes that way on
# any machine).
KESTROM_EMULATED_WINE=$KESTROM_ROOT/build/wine-emulated/lib/wine/wine
# The probe runs without the caller's preloaded libraries (the scenarios
# that set a program's clock preload one).
if [ "${KESTROM_WINE_EMULATED:-0}" != 1 ] &&
  env -u LD_PRELOAD timeout 20 /usr/lib/wine/wine --version >/dev/null 2>&1; then
  KESTROM_WINE=wine
  KESTROM_WINE_KIND="32-bit Wine"
elif [ -x "$KESTROM_EMULATED_WINE" ]; then
  KESTROM_WINE=$KESTROM_EMULATED_WINE
  export WINELOADER=$KESTROM_WINE
  KESTROM_WINE_KIND="32-bit Wine under qemu-i386"
else
  echo "Wine cannot run 32-bit programs here: the kernel refuses Wine's 32-bit loader" \
    "(or wine32:i386 is missing) and the emulated loader $KESTROM_EMULATED_WINE" \
    "is not set up. tools/install_deps.sh installs Wine and sets it up." >&2
  return 1 2>/dev/null || exit 1
fi
export KESTROM_WINE KESTROM_WINE_KIND

# Sourced by the scripts that run Wine: the project's own prefix and quiet
# settings, never the user's ~/.wine.
KESTROM_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${KESTROM_WINEPREFIX:-$KESTROM_ROOT/build/wineprefix}"
export WINEARCH=win32
export WINEDEBUG=-all
# No Mono or Gecko installer prompts.
export WINEDLLOVERRIDES="mscoree,mshtml="

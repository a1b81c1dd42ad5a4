#!/usr/bin/env bash
# Creates the project's Wine prefix once: a 32-bit prefix with Verdana and
# Arial mapped to fonts that Debian installs.
set -euo pipefail
source "$(dirname "$0")/wine_env.sh"

[ -f "$WINEPREFIX/.kestrom-ready" ] && exit 0
mkdir -p "$(dirname "$WINEPREFIX")"
rm -rf "$WINEPREFIX"

setup() {
  wineboot -i >/dev/null 2>&1
  local substitutes='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
  wine reg add "$substitutes" /v Verdana /t REG_SZ /d "DejaVu Sans" /f >/dev/null 2>&1
  wine reg add "$substitutes" /v Arial /t REG_SZ /d "Liberation Sans" /f >/dev/null 2>&1
  wineserver -w
}

echo "Creating the Wine prefix $WINEPREFIX" >&2
if [ -n "${DISPLAY:-}" ]; then
  setup
else
  export -f setup
  xvfb-run -a bash -c setup
fi
touch "$WINEPREFIX/.kestrom-ready"

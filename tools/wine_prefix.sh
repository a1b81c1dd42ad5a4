#!/usr/bin/env bash
# Creates the project's Wine prefix once: a prefix with Verdana and
# Arial mapped to fonts that Debian installs.
set -euo pipefail
source "$(dirname "$0")/wine_env.sh"

[ -f "$WINEPREFIX/.kestrom-ready" ] && exit 0

setup() {
  "$KESTROM_WINE" wineboot -i >/dev/null 2>&1
  local substitutes='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
  "$KESTROM_WINE" reg add "$substitutes" /v Verdana /t REG_SZ /d "DejaVu Sans" /f >/dev/null 2>&1
  "$KESTROM_WINE" reg add "$substitutes" /v Arial /t REG_SZ /d "Liberation Sans" /f >/dev/null 2>&1
  # Wine draws the title bars itself, so captions show without a window
  # manager (on the virtual display of the tests).
  "$KESTROM_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  # Wine draws the title bar buttons with Marlett, which its own font
  # folder holds but a prefix does not always find there.
  local marlett=/usr/share/wine/fonts/marlett.ttf
  if [ -f "$marlett" ]; then cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/"; fi
  wineserver -w
}

if [ -z "${DISPLAY:-}" ]; then
  # wineboot wants a display; xvfb-run starts one and runs this script again.
  exec xvfb-run -a "$0" "$@"
fi
echo "Creating the Wine prefix $WINEPREFIX" >&2
mkdir -p "$(dirname "$WINEPREFIX")"
rm -rf "$WINEPREFIX"
setup
touch "$WINEPREFIX/.kestrom-ready"

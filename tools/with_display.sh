#!/usr/bin/env bash
# Runs a command with the project's wineserver on a display: the current
# one when DISPLAY is set, otherwise a virtual one. Everything Wine does in
# one call shares that display; the wineserver is ended afterwards so that
# the next call does not inherit its desktop. KESTROM_DISPLAY_NUMBER, when
# set, is the number of the virtual display to start (otherwise the first
# free one).
set -u
source "$(dirname "$0")/wine_env.sh"

run() {
  wineserver -p 2>/dev/null
  # Wine's first program starts its background services, which would keep
  # the caller's output pipes open (ctest then waits for them): start them
  # here, detached from ours.
  "$KESTROM_WINE" cmd /c exit </dev/null >/dev/null 2>&1
  "$@"
  local status=$?
  wineserver -k 2>/dev/null
  return $status
}

if [ -n "${DISPLAY:-}" ]; then
  run "$@"
else
  display=(-a)
  [ -z "${KESTROM_DISPLAY_NUMBER:-}" ] || display=(-n "$KESTROM_DISPLAY_NUMBER")
  exec xvfb-run "${display[@]}" -s "-screen 0 1280x1024x24" "$0" "$@"
fi

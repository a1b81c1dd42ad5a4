#!/usr/bin/env bash
# Runs the Win32 tests and the end-to-end scenarios under Wine in two lanes
# at once, one per core: each lane has its own Wine prefix, wineserver and
# virtual display, so the scenarios of one lane never see the other's
# windows, processes or registry. Which scenario runs in which lane is the
# ctest label "lane2" (cmake/win32.cmake); everything else is lane 1.
# The second lane's prefix is a copy of the project's prefix, made once.
# Lane 1 reports as it goes; lane 2's report follows when both have ended.
# Exits non-zero when either lane failed.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/wine_env.sh"
first=$WINEPREFIX
second=$first-lane2
logs=${1:-$root/build/test-times}
mkdir -p "$logs"

if [ ! -f "$second/.kestrom-ready" ]; then
  # Copied while no wineserver of the first prefix runs (tools/wine_prefix.sh
  # waits for it), so the copy is a consistent one.
  WINEPREFIX=$first wineserver -w 2>/dev/null
  rm -rf "$second"
  cp -a "$first" "$second"
fi

# Two virtual displays of distinct numbers: xvfb-run -a in two lanes at the
# same moment could both choose the same free number.
free_displays() {
  local n
  for n in $(seq 110 199); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || echo "$n"
  done | head -2
}
read -r -d '' display1 display2 < <(free_displays)

lane() {
  local prefix=$1 display=$2
  shift 2
  KESTROM_WINEPREFIX=$prefix KESTROM_DISPLAY_NUMBER=$display \
    "$root/tools/with_display.sh" ctest --test-dir "$root/build/win32" --output-on-failure "$@"
}

lane "$second" "$display2" -L lane2 >"$logs/wine-lane2.log" 2>&1 &
second_lane=$!
lane "$first" "$display1" -LE lane2 2>&1 | tee "$logs/wine-lane1.log"
first_status=${PIPESTATUS[0]}
wait "$second_lane"
second_status=$?
echo "== Lane 2 (its own prefix and display)"
cat "$logs/wine-lane2.log"
[ "$first_status" -eq 0 ] && [ "$second_status" -eq 0 ]

#!/usr/bin/env bash
# The main job, end to end: starts the local quotes web server, points the
# demo's settings at it, runs "Kestrom.exe a" under Wine until the program
# closes itself, and shows the quote file it wrote.
#   tools/demo.sh path/to/Kestrom.exe
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
source "$root/tools/wine_env.sh"

if [ "${2:-}" != "--on-display" ]; then
  exec "$root/tools/with_display.sh" "$0" "$exe" --on-display
fi

work=$root/build/demo
data=$work/data
rm -rf "$work"
mkdir -p "$data"

python3 "$root/tools/quotes_server/quotes_server.py" serve --port 0 --port-file "$work/port" \
  --log "$work/requests.log" --time-limit 600 >"$work/server.out" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(cat "$work/port")
host=127.0.0.1:$port
echo "Quotes server: http://$host/derivaten/opties/"

# Drive Z: is the Linux root in every Wine prefix.
windows_data="Z:$(echo "$data" | tr / '\\')\\"
# The demo starts from no settings (the tests leave theirs behind), so the
# run fetches every underlying, as on a first start.
"$KESTROM_WINE" reg delete 'HKCU\Software\Kestrom' /f >/dev/null 2>&1 || true
key='HKCU\Software\Kestrom\Defaults'
"$KESTROM_WINE" reg add "$key" /v "Quotes Host" /t REG_SZ /d "$host" /f >/dev/null
"$KESTROM_WINE" reg add "$key" /v "Update Host" /t REG_SZ /d "$host" /f >/dev/null
"$KESTROM_WINE" reg add "$key" /v "Data Path" /t REG_SZ /d "$windows_data" /f >/dev/null

echo "Running Kestrom.exe a (it closes itself when the download is done)"
# On the Sunday after an expiry Friday a run first asks whether to go on;
# nobody sits at the virtual display, so the demo answers "Ja" itself.
"$KESTROM_WINE" "$(dirname "$exe")/uidriver.exe" click "Kestrom - Downloaden?" Ja --timeout 60000 \
  >"$work/question.out" 2>/dev/null &
answerer=$!
trap 'kill $server $answerer 2>/dev/null || true' EXIT
started=$(date +%s)
set +e
timeout 900 "$KESTROM_WINE" "$exe" a
status=$?
set -e
kill $answerer 2>/dev/null || true
wait $answerer 2>/dev/null || true
[ -s "$work/question.out" ] && echo "The Sunday question was answered with Ja"
echo "Kestrom.exe ended after $(( $(date +%s) - started )) s with exit code $status"

file=$(ls "$data"/*.csv 2>/dev/null | head -n 1 || true)
if [ -z "$file" ]; then
  echo "No quote file was written in $data" >&2
  exit 1
fi
echo "Quote file: $file"
echo "Lines: $(wc -l < "$file")"
echo "First lines:"
head -n 6 "$file" | tr -d '\r'
exit "$status"

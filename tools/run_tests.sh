#!/usr/bin/env bash
# What `make test` runs once both trees are built: the layering of src/'s
# includes, the product check, the host unit tests, the sanitizer and fuzz runs, and the Win32 tests and
# end-to-end scenarios under Wine. Each tier's output is kept in
# build/test-times/; at the end, also after a failure, the time of each
# tier and its ten slowest tests are shown, so that a scenario on its way
# to CI's limit is seen early.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
times=build/test-times
rm -rf "$times"
mkdir -p "$times"
trap 'python3 tools/test_times.py "$times"' EXIT

# tier NAME COMMAND...: runs one tier and notes its time; stops at a failure.
tier() {
  local name=$1
  shift
  local started=$SECONDS
  "$@" 2>&1 | tee "$times/$name.log"
  local status=$?
  echo "$name $((SECONDS - started)) $status" >>"$times/tiers"
  [ "$status" -eq 0 ] || exit "$status"
}

tier layers python3 tools/include_layers.py --check
tier product python3 tools/check_product.py build/win32/Kestrom.exe
echo "== Host unit tests"
tier host ctest --test-dir build/host --output-on-failure -j"${JOBS:-2}"
tier sanitizers-and-fuzz tools/fuzz_smoke.sh
kind=$(bash -c 'source tools/wine_env.sh && echo "$KESTROM_WINE_KIND"')
echo "== Win32 tests and end-to-end scenarios under Wine ($kind)"
tier wine tools/wine_lanes.sh "$times"

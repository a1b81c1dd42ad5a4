#!/usr/bin/env bash
# The host unit tests built with AddressSanitizer and UndefinedBehaviorSanitizer
# (build/host-asan), then each fuzz target for a few seconds on its seed
# corpus (build/host-fuzz, clang with libFuzzer only). Exits non-zero on a
# failing test or a fuzz finding; findings are kept in build/host-fuzz/findings.
#   FUZZ_SECONDS   time per target (default 5)
#   JOBS           build jobs (default 2)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
asan=${KESTROM_ASAN_DIR:-$root/build/host-asan}
fuzz=${KESTROM_FUZZ_DIR:-$root/build/host-fuzz}
seconds=${FUZZ_SECONDS:-5}
jobs=${JOBS:-2}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

echo "== Host unit tests with AddressSanitizer and UndefinedBehaviorSanitizer"
[ -f "$asan/CMakeCache.txt" ] || cmake -S "$root" -B "$asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKESTROM_SANITIZE=ON >/dev/null
cmake --build "$asan" -j"$jobs" --target kestrom_unit_tests
ctest --test-dir "$asan" --output-on-failure -j"$jobs"

probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' >"$probe/p.cpp"
if ! command -v clang++ >/dev/null || ! clang++ -fsanitize=fuzzer "$probe/p.cpp" -o "$probe/p" 2>/dev/null; then
  echo "== Fuzz targets skipped: no clang++ with libFuzzer (package libclang-rt-14-dev)"
  exit 0
fi

echo "== Fuzz targets, ${seconds} s each"
[ -f "$fuzz/CMakeCache.txt" ] || cmake -S "$root" -B "$fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DKESTROM_FUZZ=ON >/dev/null
targets=()
for source in "$root"/tests/fuzz/fuzz_*.cpp; do targets+=("$(basename "$source" .cpp)"); done
cmake --build "$fuzz" -j"$jobs" --target "${targets[@]}"
mkdir -p "$fuzz/findings"
for target in "${targets[@]}"; do
  # New inputs go to the scratch corpus, never into the committed seeds.
  mkdir -p "$fuzz/corpus/$target"
  if ! "$fuzz/$target" -max_total_time="$seconds" -runs=5000000 -max_len=16384 -print_final_stats=1 \
      -artifact_prefix="$fuzz/findings/$target-" "$fuzz/corpus/$target" "$root/tests/fuzz/corpus/$target" \
      >"$fuzz/$target.log" 2>&1; then
    tail -n 40 "$fuzz/$target.log" >&2
    echo "FAILED: $target (input kept in $fuzz/findings/)" >&2
    exit 1
  fi
  echo "$target: $(grep -E '^stat::number_of_executed_units' "$fuzz/$target.log" | awk '{print $2}') runs," \
    "$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$fuzz/$target.log" | tail -n 1)"
done

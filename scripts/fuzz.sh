#!/usr/bin/env bash
# Builds the fuzz targets (libFuzzer with clang 14, AddressSanitizer and UndefinedBehaviorSanitizer)
# in build-fuzz/ and runs every one of them for a time, a few at once. Not part of the tests.
#   scripts/fuzz.sh [seconds per target, default 60] [targets at once, default 3]
# Every executable fuzz_* of build-fuzz/fuzz/ is a target. Each keeps its corpus between runs in
# build-fuzz/fuzz-corpus/<target>/ (started from its seeds, build-fuzz/fuzz/seeds/<target>/),
# its log in build-fuzz/fuzz-logs/ and whatever it finds (crash-*, timeout-*, leak-*, oom-*) in
# build-fuzz/fuzz-findings/<target>/. Ends with a line per target and fails when anything was found.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
parallel=${2:-3}
build="$here/build-fuzz"

TKV_EXTRA_PACKAGES="clang-14 libclang-rt-14-dev" CC=clang-14 CXX=clang++-14 \
  "$here/scripts/setup.sh" "$build" -DTKV_FUZZ=ON >/dev/null

mapfile -t targets < <(find "$build/fuzz" -maxdepth 1 -type f -executable -name 'fuzz_*' -printf '%f\n' | sort)
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets in $build/fuzz" >&2
  exit 1
fi

mkdir -p "$build/fuzz-logs"
run() {
  local t=$1
  mkdir -p "$build/fuzz-corpus/$t" "$build/fuzz-findings/$t"
  # Each input gets 10 s at most (a hang), the whole process 2 GB.
  "$build/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/fuzz-findings/$t/" "$build/fuzz-corpus/$t" "$build/fuzz/seeds/$t" \
    >"$build/fuzz-logs/$t.log" 2>&1 || true
}

echo "fuzzing ${targets[*]} for $seconds s each, $parallel at once"
for t in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$parallel" ]; do
    wait -n || true
  done
  run "$t" &
done
wait

found=0
for t in "${targets[@]}"; do
  log="$build/fuzz-logs/$t.log"
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  status=$(grep -E '^#[0-9]+' "$log" | tail -n 1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$status")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$status")
  corpus=$(find "$build/fuzz-corpus/$t" -type f | wc -l)
  findings=$(find "$build/fuzz-findings/$t" -type f | wc -l)
  reports=$(grep -cE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:' "$log" || true)
  printf '%-20s %10s runs %8s/s  cov %-6s ft %-6s corpus %-6s findings %s, sanitizer reports %s\n' \
    "$t" "${runs:-?}" "${rate:-?}" "${cov:-?}" "${ft:-?}" "$corpus" "$findings" "$reports"
  if [ "$findings" -gt 0 ] || [ "$reports" -gt 0 ] || [ -z "$runs" ]; then
    found=1
  fi
done
exit $found

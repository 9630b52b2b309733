#!/usr/bin/env bash
# Runs every libFuzzer target of the fuzz preset, one after another, for
# SECONDS each (default 60), seeded with the built-in pictures and the test
# fixtures. New inputs go to build/fuzz/corpus/<target>/ (not committed),
# crashes to build/fuzz/artifacts/. Prints the executions per target and
# fails if any target found a crash.
#
#   cmake --preset fuzz && cmake --build --preset fuzz -j2 && scripts/fuzz.sh 180
# or simply: make fuzz FUZZ_SECONDS=180
# FUZZ_TARGETS="fuzz_gif fuzz_bmp" limits the run to those targets.
set -uo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/build/fuzz/fuzz"
max_len=${FUZZ_MAX_LEN:-32768}  # longer seeds are cut; big inputs only slow the search

shopt -s nullglob
if [[ -n "${FUZZ_TARGETS:-}" ]]; then
  targets=()
  for t in $FUZZ_TARGETS; do targets+=("$bin/$t"); done
else
  targets=("$bin"/fuzz_*)
fi
if [[ ${#targets[@]} -eq 0 ]]; then
  echo "no fuzz targets in $bin: cmake --preset fuzz && cmake --build --preset fuzz -j2" >&2
  exit 1
fi

mkdir -p "$root/build/fuzz/artifacts" "$root/build/fuzz/logs"
summary=()
status=0
for exe in "${targets[@]}"; do
  [[ -x "$exe" && -f "$exe" ]] || continue
  name=$(basename "$exe")
  corpus="$root/build/fuzz/corpus/$name"
  log="$root/build/fuzz/logs/$name.log"
  mkdir -p "$corpus"
  seeds=("$root/pictures/assets" "$root/tests/fixtures")
  [[ -d "$root/fuzz/corpus/$name" ]] && seeds+=("$root/fuzz/corpus/$name")
  echo "== $name: ${seconds}s"
  "$exe" "$corpus" "${seeds[@]}" \
    -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=3072 \
    -print_final_stats=1 -artifact_prefix="$root/build/fuzz/artifacts/$name-" >"$log" 2>&1
  rc=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if [[ $rc -ne 0 ]]; then
    status=1
    summary+=("$(printf '%-24s %12s executions  FAILED (exit %d, see %s)' "$name" "${execs:-?}" "$rc" "$log")")
  else
    summary+=("$(printf '%-24s %12s executions  ok' "$name" "${execs:-?}")")
  fi
done
echo
printf '%s\n' "${summary[@]}"
exit $status

#!/usr/bin/env bash
# The long fuzzing run: every target of dvfuzz.exe (or the TARGETs named)
# with its long budget (1,000,000 inputs, 100,000 where an input costs
# file-system round trips or a library load), JOBS targets at a time, then
# the native libFuzzer targets of the same names. The CTest run (fuzz_short,
# fuzz_native) is the short budget of the same drivers.
#
#   bash scripts/fuzz.sh [-j JOBS] [--inputs N] [--seed S] [TARGET...]
#
# Logs and kept inputs go to $DV_BUILD/fuzz-long/. Every input kept there
# that faulted belongs in tests/fuzz/regressions/<target>/ once its fault is
# mended (the short run replays that folder).
set -euo pipefail
source "$(dirname "$0")/env.sh"
jobs=4
budget=(--long)
seed=1
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    -j) jobs=$2; shift 2 ;;
    --inputs) budget=(--inputs "$2"); shift 2 ;;
    --seed) seed=$2; shift 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done
[ -f "$DV_BUILD/x64/build.ninja" ] || bash "$DV_ROOT/scripts/build.sh"
cmake --build "$DV_BUILD/x64" --target dvfuzz -j "$jobs"
dv_ensure_prefix
out="$DV_BUILD/fuzz-long"
mkdir -p "$out"
# A copy of the driver runs, so that builds may go on meanwhile.
mkdir -p "$out/bin"
cp "$DV_BUILD/x64/tests/fuzz/dvfuzz.exe" "$DV_BUILD/x64/tests/fuzz/Strimlet.dll" "$out/bin/"
exe="$out/bin/dvfuzz.exe"
[ ${#targets[@]} -gt 0 ] || mapfile -t targets < <(wine "$exe" --list | tr -d '\r')
fuzzdir="Z:$DV_ROOT/tests/fuzz"

status=0
running=0
for t in "${targets[@]}"; do
  (
    wine "$exe" --target "$t" "${budget[@]}" --seed "$seed" --corpus "$fuzzdir/corpus" \
      --replay "$fuzzdir/regressions" \
      --findings "Z:$out/findings" >"$out/$t.log" 2>&1
  ) &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then wait -n || status=1; running=$((running - 1)); fi
done
while [ "$running" -gt 0 ]; do wait -n || status=1; running=$((running - 1)); done

echo "dvfuzz (Wine, guard pages):"
for t in "${targets[@]}"; do
  line=$(grep -a -E "inputs=|HANG|abort|stack overflow" "$out/$t.log" | tail -1 | tr -d '\r' || true)
  echo "  ${line:-$t: no result (see $out/$t.log)}"
done
echo "native (libFuzzer + AddressSanitizer):"
bash "$DV_ROOT/tests/fuzz/native/run.sh" --long "$out/native" "$jobs" "${targets[@]}" || status=1
exit $status

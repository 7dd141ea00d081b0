#!/usr/bin/env bash
# Builds the native libFuzzer targets (clang with AddressSanitizer and
# UndefinedBehaviorSanitizer, the platform through shim/) into OUT and runs
# each: --short is the CTest budget (one target at a time), --long the long
# run's (JOBS targets at a time, default 3).
#
#   bash tests/fuzz/native/run.sh --short|--long OUT [JOBS [TARGET...]]
#
# Named targets that are not native ones are passed over (scripts/fuzz.sh
# hands on the names it was given).
# Seeds come from tests/fuzz/corpus/<target>/; inputs that once faulted
# (tests/fuzz/regressions/<target>/) run first. Budgets are counts of
# inputs, never times, and libFuzzer's -seed=1 makes a run repeat. A crash
# leaves its input in OUT/findings/.
set -euo pipefail
mode=${1:?--short or --long}
out=${2:?output folder}
if [ "$mode" = --long ]; then jobs=${3:-3}; else jobs=${3:-1}; fi
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../../.." && pwd)"
# The short budget per target: the matcher's target scans every window for
# patterns that begin with a run, which costs far more per input.
declare -A short_runs=([vfile_match]=3000)
case "$mode" in
  --short|--long) ;;
  *) echo "run.sh: --short or --long" >&2; exit 2 ;;
esac
CXX=${CXX:-clang++}
if ! command -v "$CXX" >/dev/null; then
  echo "run.sh: $CXX not found (scripts/setup.sh installs clang and libFuzzer)" >&2
  exit 1
fi
flags=(-std=c++17 -O1 -g -fno-omit-frame-pointer "-D__declspec(x)=" -DUNICODE -D_UNICODE -DNOMINMAX -I"$here/shim" -I"$root"
       -fsanitize=address,undefined -fno-sanitize-recover=undefined)
sources=(barcode/Barcode.cpp barcode/Barcode128.cpp barcode/Barcode2of5.cpp barcode/BarcodeCodabar.cpp
         barcode/BarcodeCode39.cpp barcode/BarcodeCode93.cpp barcode/BarcodeEanUpc.cpp barcode/StrimletExports.cpp
         common/StringUtil.cpp common/FontString.cpp common/JobRule.cpp controller/PasswordCodec.cpp
         viewer/JotviewLog.cpp engine/PrnLang.cpp engine/VFile.cpp tests/fuzz/PureTargets.cpp)
mkdir -p "$out/obj" "$out/findings"
objs=()
for s in "${sources[@]}" tests/fuzz/native/shim/Shim.cpp; do
  o="$out/obj/$(echo "$s" | tr / _).o"
  if [ ! -f "$o" ] || [ "$root/$s" -nt "$o" ]; then
    "$CXX" "${flags[@]}" -fsanitize=fuzzer-no-link -c "$root/$s" -o "$o"
  fi
  objs+=("$o")
done
declare -A entry=([barcode]="FuzzBarcode(data, size)" [job_rule]="FuzzJobRule(data, size)"
                  [password]="FuzzTarget(FuzzPassword, data, size)"
                  [font_string]="FuzzTarget(FuzzFontString, data, size)"
                  [log_line]="FuzzTarget(FuzzLogLines, data, size)"
                  [prn_scanner]="FuzzTarget(FuzzPrnScanner, data, size)"
                  [vfile_match]="FuzzTarget(FuzzVFileMatch, data, size)")
targets=(barcode password font_string job_rule log_line prn_scanner vfile_match)
if [ $# -gt 3 ]; then
  named=" ${*:4} "
  kept=()
  for t in "${targets[@]}"; do [[ "$named" == *" $t "* ]] && kept+=("$t"); done
  targets=("${kept[@]}")
fi
for t in "${targets[@]}"; do
  bin="$out/fuzz_$t"
  if [ ! -x "$bin" ] || [ "$here/Drivers.cpp" -nt "$bin" ] || [ -n "$(find "${objs[@]}" -newer "$bin" 2>/dev/null)" ]; then
    "$CXX" "${flags[@]}" -fsanitize=fuzzer -DDV_FUZZ_TARGET="${entry[$t]}" "$here/Drivers.cpp" "${objs[@]}" -o "$bin"
  fi
done

# Runs one target; its log is OUT/<target>.log.
run_target() {
  local t=$1 runs
  if [ "$mode" = --long ]; then runs=1000000; else runs=${short_runs[$t]:-50000}; fi
  local work="$out/corpus-$t"
  rm -rf "$work"
  mkdir -p "$work"
  local dirs=("$work")
  for d in "$root/tests/fuzz/corpus/$t" "$root/tests/fuzz/regressions/$t"; do [ -d "$d" ] && dirs+=("$d"); done
  "$out/fuzz_$t" -seed=1 -runs="$runs" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
    -artifact_prefix="$out/findings/$t-" "${dirs[@]}" >"$out/$t.log" 2>&1
}

declare -A pid=()
for t in "${targets[@]}"; do
  if [ "$jobs" -gt 1 ]; then
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
    run_target "$t" &
    pid[$t]=$!
  else
    run_target "$t" && pid[$t]=ok || pid[$t]=failed
  fi
done
status=0
for t in "${targets[@]}"; do
  result=${pid[$t]}
  if [ "$result" != ok ] && [ "$result" != failed ]; then
    if wait "$result"; then result=ok; else result=failed; fi
  fi
  log="$out/$t.log"
  done_runs=$(grep -a -o 'Done [0-9]* runs in [0-9]* second' "$log" | grep -o '[0-9]*' | head -1 || true)
  secs=$(grep -a -o 'Done [0-9]* runs in [0-9]* second' "$log" | grep -o '[0-9]*' | tail -1 || true)
  if [ "$result" = ok ]; then
    printf '  %-12s runs=%s seconds=%s ok\n' "$t" "${done_runs:-?}" "${secs:-?}"
  else
    status=1
    printf '  %-12s FAILED\n' "$t"
    grep -a -E "ERROR|SUMMARY|finding:|artifact|Test unit written" "$log" | head -5 | sed 's/^/    /'
  fi
done
exit $status

#!/usr/bin/env bash
# Builds the native libFuzzer targets (clang with AddressSanitizer and
# UndefinedBehaviorSanitizer, the platform through shim/) into OUT and runs
# each: --short is the CTest budget, --long the long run's.
#
#   bash tests/fuzz/native/run.sh --short|--long OUT
#
# Seeds come from tests/fuzz/corpus/<target>/; inputs that once faulted
# (tests/fuzz/regressions/<target>/) run first. libFuzzer's -seed=1 makes a
# run repeat. A crash leaves its input in OUT/findings/.
set -euo pipefail
mode=${1:?--short or --long}
out=${2:?output folder}
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../../.." && pwd)"
case "$mode" in
  --short) runs=50000; limit=6 ;;
  --long) runs=1000000; limit=0 ;;
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
status=0
for t in barcode password font_string job_rule log_line prn_scanner vfile_match; do
  bin="$out/fuzz_$t"
  if [ ! -x "$bin" ] || [ "$here/Drivers.cpp" -nt "$bin" ] || [ -n "$(find "${objs[@]}" -newer "$bin" 2>/dev/null)" ]; then
    "$CXX" "${flags[@]}" -fsanitize=fuzzer -DDV_FUZZ_TARGET="${entry[$t]}" "$here/Drivers.cpp" "${objs[@]}" -o "$bin"
  fi
  work="$out/corpus-$t"
  rm -rf "$work"
  mkdir -p "$work"
  dirs=("$work")
  for d in "$root/tests/fuzz/corpus/$t" "$root/tests/fuzz/regressions/$t"; do [ -d "$d" ] && dirs+=("$d"); done
  log="$out/$t.log"
  if "$bin" -seed=1 -runs="$runs" -max_total_time="$limit" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
       -artifact_prefix="$out/findings/$t-" "${dirs[@]}" >"$log" 2>&1; then
    result=ok
  else
    result=FAILED
    status=1
  fi
  done_runs=$(grep -a -o 'Done [0-9]* runs' "$log" | grep -o '[0-9]*' || true)
  printf '  %-12s runs=%s %s\n' "$t" "${done_runs:-?}" "$result"
  [ "$result" = ok ] || grep -a -E "ERROR|SUMMARY|finding:|artifact" "$log" | head -5 | sed 's/^/    /'
done
exit $status

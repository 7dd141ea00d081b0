#!/usr/bin/env bash
# Runs the benchmark programs in the project's Wine prefix (the one the tests
# use, with the test printer driver) and prints their figures. Builds first
# when needed. Each benchmark sets up its own install folder, printer and
# jobs under C:\dvbench\ and puts the registry's Path back when done.
#   bash scripts/bench.sh                 every benchmark
#   bash scripts/bench.sh raw_bench ...   the named ones only
# Exit status 0 when every benchmark ran and met its target.
set -euo pipefail
source "$(dirname "$0")/env.sh"
all=(strimlet_bench emf_job_bench raw_bench spool_list_bench)
benches=("$@")
[ ${#benches[@]} -gt 0 ] || benches=("${all[@]}")
for bench in "${benches[@]}"; do
  case " ${all[*]} " in *" $bench "*) ;; *) echo "bench.sh: no benchmark $bench (one of: ${all[*]})" >&2; exit 2 ;; esac
done
[ -f "$DV_BUILD/x64/build.ninja" ] || bash "$DV_ROOT/scripts/build.sh"
cmake --build "$DV_BUILD/x64" -j "$(nproc)" --target "${benches[@]}"
dv_ensure_prefix
failed=()
for bench in "${benches[@]}"; do
  echo "== $bench"
  rc=0
  wine "$DV_BUILD/x64/bench/$bench.exe" </dev/null || rc=$?
  [ $rc -eq 0 ] || failed+=("$bench (exit status $rc)")
  echo
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "bench.sh: target missed or run failed: ${failed[*]}"
  exit 1
fi
echo "bench.sh: every benchmark ran and met its target"

#!/usr/bin/env bash
# Runs every test: brings the build and build/dist up to date, makes a fresh Wine prefix with the test
# printer driver, and runs CTest for both architectures.
# Extra arguments go to ctest (for example -R engine).
set -euo pipefail
source "$(dirname "$0")/env.sh"
# Incremental; the installed set is one of the things tested.
bash "$DV_ROOT/scripts/build.sh"
# Each run gets its own prefix (stop the old prefix's server first).
[ -d "$DV_PREFIX" ] && wineserver -k >/dev/null 2>&1 || true
rm -rf "$DV_PREFIX"
dv_ensure_prefix
status=0
# The tests share the prefix's registry and spooler: run them one at a time.
ctest --test-dir "$DV_BUILD/x64" --output-on-failure "$@" || status=$?
if [ "$DV_WIN32" != 1 ]; then
  echo "test.sh: this kernel runs no 32-bit programs; the viewer's tests ran in the 64-bit build only"
elif [ -f "$DV_BUILD/x86/build.ninja" ]; then
  ctest --test-dir "$DV_BUILD/x86" --output-on-failure "$@" || status=$?
fi
wineserver -k >/dev/null 2>&1 || true
exit $status

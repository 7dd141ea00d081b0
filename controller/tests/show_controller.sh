#!/usr/bin/env bash
# Starts the controller from the command line under Wine (Xvfb when there is
# no display) on the demo install folder C:\dvdemo\ that scripts/demo.sh
# leaves (its sample job kept in the spool), takes a screenshot of the
# screen with ImageMagick and closes the controller again.
#   controller/tests/show_controller.sh [shot.png]
set -euo pipefail
source "$(dirname "$0")/../../scripts/env.sh"
shot="${1:-$DV_BUILD/controller-shot.png}"
[ -f "$DV_BUILD/x64/controller/Dorvane.exe" ] || bash "$DV_ROOT/scripts/build.sh"
bash "$DV_ROOT/scripts/demo.sh" >/dev/null
dv_ensure_prefix
inst="$DV_PREFIX/drive_c/dvdemo"
cp "$DV_BUILD/x64/controller/Dorvane.exe" "$inst/"
wine reg delete 'HKLM\SOFTWARE\KVD\Dorvane' /v EntrancePassword /f >/dev/null 2>&1 || true

wine 'C:\dvdemo\Dorvane.exe' &
pid=$!
sleep "${DV_SHOT_WAIT:-6}"
import -window root "$shot"
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
echo "screenshot: $shot"

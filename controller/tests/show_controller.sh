#!/usr/bin/env bash
# Starts the controller from the command line under Wine (Xvfb when there is
# no display) on a demo install folder holding a few sample jobs, takes a
# screenshot of the screen with ImageMagick and closes the controller again.
#   controller/tests/show_controller.sh [shot.png]
set -euo pipefail
source "$(dirname "$0")/../../scripts/env.sh"
shot="${1:-$DV_BUILD/controller-shot.png}"
[ -f "$DV_BUILD/x64/controller/Dorvane.exe" ] || bash "$DV_ROOT/scripts/build.sh"
dv_ensure_prefix

demo="$(winepath -u 'C:\dvdemo')"
rm -rf "$demo"
mkdir -p "$demo/spool"
cp "$DV_BUILD/x64/controller/Dorvane.exe" "$demo/"
[ -f "$DV_BUILD/x64/engine/Jobforge.Dll" ] && cp "$DV_BUILD/x64/engine/Jobforge.Dll" "$demo/"
printf '[General]\r\nLastJobNumber=103\r\nDeleteFilesAfter=0\r\nAutoRefreshSpool=1\r\n' > "$demo/Dorvane.ini"
job() {  # number document status user source destination pages
  printf '[General]\r\nDocument=%s\r\nStatus=%s\r\nDateSpooled=10/12/2024\r\nTimeSpooled=09:%02d:00\r\nUserName=%s\r\nSourcePrinterName=%s\r\nPrinterName=%s\r\nTotalPages=%s\r\n' \
    "$2" "$3" "$(( $1 % 60 ))" "$4" "$5" "$6" "$7" > "$demo/spool/$(printf '%08d' "$1").Ctl"
  : > "$demo/spool/$(printf '%08d' "$1").Org"
}
job 101 "Invoice 2024-117.pdf" "Printed" "anna" "Invoices" "Finance Laser" 3
job 102 "Delivery note 5531" "Printed" "ben" "Warehouse" "Dock Printer" 1
job 103 "Quarterly report.docx" "Spooled" "carla" "Office" "Office Colour" 12

wine reg add 'HKLM\SOFTWARE\KVD\Dorvane' /v Path /d 'C:\dvdemo' /f >/dev/null 2>&1
wine reg delete 'HKLM\SOFTWARE\KVD\Dorvane' /v EntrancePassword /f >/dev/null 2>&1 || true

wine "$demo/Dorvane.exe" &
pid=$!
sleep "${DV_SHOT_WAIT:-6}"
import -window root "$shot"
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
echo "screenshot: $shot"

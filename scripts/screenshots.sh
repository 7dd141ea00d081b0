#!/usr/bin/env bash
# Screenshots of the controller as a user sees it, in a decorated Wine
# desktop of 1024 x 768 on the demo install folder that scripts/demo.sh
# leaves (its sample job, and a second job with a long name spooled here).
# The mouse and keys are driven with xdotool, as a user would:
#   main-top.png        the main window, toolbar docked at the top
#   main-left.png       the toolbar dragged by its gripper to the left side
#   main-floating.png   the toolbar dragged off into its own tool window
#   jobinfo.png         View Job Information on the job with the long name
#   preview.png         Preview Job on the sample job
#   nested-editor.png   the scenario editor opened from the job process editor
#   about.png           the About box
#   scripts/screenshots.sh [folder]      (default: $DV_BUILD/screenshots)
set -euo pipefail
source "$(dirname "$0")/env.sh"
out="${1:-$DV_BUILD/screenshots}"
mkdir -p "$out"
command -v xdotool >/dev/null || { echo "screenshots.sh: xdotool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
[ -f "$DV_BUILD/x64/controller/Dorvane.exe" ] || bash "$DV_ROOT/scripts/build.sh"
bash "$DV_ROOT/scripts/demo.sh" >/dev/null
dv_ensure_prefix
inst="$DV_PREFIX/drive_c/dvdemo"
cp "$DV_BUILD/x64/controller/Dorvane.exe" "$inst/"
wine "$DV_BUILD/x64/tools/dvspool.exe" emf "Dorvane Demo" --pages 2 --no-process \
  --doc "Annual report of the northern region sales offices for the board meeting in March, final version" >/dev/null
wine reg delete 'HKLM\SOFTWARE\KVD\Dorvane' /v EntrancePassword /f >/dev/null 2>&1 || true

wait_s=${DV_SHOT_WAIT:-2}
# The desktop window is the screen's top-left 1024 x 768.
shot() {
  xdotool mousemove 1000 700
  sleep "$wait_s"
  import -window root -crop 1024x768+0+0 +repage "$out/$1.png"
  echo "screenshot: $out/$1.png"
}
key() { xdotool key --delay 200 "$@"; sleep 1.5; }
click() { xdotool mousemove "$1" "$2" click 1; sleep 1; }
# Presses at the first point, moves in steps to the second and releases.
drag() {
  local x0=$1 y0=$2 x1=$3 y1=$4 i
  xdotool mousemove "$x0" "$y0" mousedown 1
  for i in 1 2 3 4 5 6 7 8; do
    xdotool mousemove $((x0 + (x1 - x0) * i / 8)) $((y0 + (y1 - y0) * i / 8))
    sleep 0.1
  done
  xdotool mouseup 1
  sleep 1
}

wine explorer /desktop=dvshots,1024x768 'C:\dvdemo\Dorvane.exe' >/dev/null 2>&1 &
desktop=$!
# On any way out the controller is ended (File > Exit closes it and its
# desktop at the end; this catches a run that stopped half way).
trap 'wine taskkill /f /im Dorvane.exe >/dev/null 2>&1 || true; kill $desktop 2>/dev/null || true' EXIT
sleep "${DV_SHOT_START:-8}"

# Places in the maximised main window: the toolbar's gripper at its left
# end (at its top once docked on the left), the first column of the two
# rows (a row is selected by its first column).
shot main-top
drag 5 58 6 400
shot main-left
# Dropped in the middle, the bar floats with the pointer where it held the
# gripper: the tool window's caption is just above the drop point.
drag 20 46 520 420
shot main-floating
# Back to the top by the floating window's caption.
drag 560 421 500 45
click 80 120
key alt+f Down Down Return
shot jobinfo
key Escape
click 80 106
key alt+f Down Return
shot preview
key Escape
# Edit > Job Process..., then the pencil beside the default scenario (the
# dialog opens centred over the main window).
key alt+e Return
click 745 147
shot nested-editor
key Escape
key Escape
key alt+h a
shot about
key Escape
key alt+f x
for _ in $(seq 1 20); do kill -0 "$desktop" 2>/dev/null || break; sleep 0.5; done

#!/usr/bin/env bash
# The main job: a sample EMF job spooled by the stand-in print processor and
# printed through the engine on a demo printer whose port is a file. Leaves
# the printed PostScript and a PNG of each page in $DV_BUILD/demo/.
set -euo pipefail
source "$(dirname "$0")/env.sh"
dv_ensure_prefix
out="$DV_BUILD/demo"
rm -rf "$out"; mkdir -p "$out"

# Install folder C:\dvdemo\ holding the deliverables as build.sh installed
# them (all five programs and the help file) and a settings file that keeps
# the sample jobs (so the controller lists them).
inst="$DV_PREFIX/drive_c/dvdemo"
rm -rf "$inst"; mkdir -p "$inst/spool" "$inst/out"
cp "$DV_BUILD/dist/"* "$inst/"
wine reg add 'HKLM\SOFTWARE\KVD\Dorvane' /v Path /d 'C:\dvdemo\' /f /reg:64 >/dev/null
printf '[General]\r\nDeleteFilesAfter=0\r\nLastJobNumber=0\r\n' > "$inst/Dorvane.ini"
# Sample scenario and templates, when the tree has them.
if [ -d "$DV_ROOT/tools/demo" ] && [ -x "$DV_ROOT/tools/demo/setup.sh" ]; then
  bash "$DV_ROOT/tools/demo/setup.sh" "$inst"
fi

wine "$DV_BUILD/x64/tools/dvprinters.exe" add "Dorvane Demo" 'C:\dvdemo\out\demo.ps'
rm -f "$inst/out/demo.ps"
wine "$DV_BUILD/x64/tools/dvspool.exe" emf "Dorvane Demo" --pages 3 --doc "Quarterly report"
cp "$inst/out/demo.ps" "$out/job.ps"
gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r100 -sOutputFile="$out/page-%d.png" "$out/job.ps"
echo "demo: $(grep -c '^%%Page:' "$out/job.ps") page(s) printed; PostScript and PNGs in $out"

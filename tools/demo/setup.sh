#!/usr/bin/env bash
# Sample scenario for the demo job (called by scripts/demo.sh with the demo
# install folder as a Unix path): the settings file's default scenario
# sample.scn, whose portrait template sample.dpt prints barcode fields over
# every page.
set -euo pipefail
inst="$1"
win="$(winepath -w "$inst")"
win="${win%\\}\\"

# demo.sh writes [General] as the file's only section: keys appended stay in it.
printf 'DefaultScenarioFile=%s\r\n' "${win}sample.scn" >> "$inst/Dorvane.ini"

printf '[General]\r\nPortraitDefaultTemplateFile=%s\r\nLandscapeDefaultTemplateFile=%s\r\n' \
  "${win}sample.dpt" "${win}sample.dpt" > "$inst/sample.scn"

# field NAME FORMAT TYPE ROTATE LEFT TOP WIDTH HEIGHT: a barcode-only field.
field() {
  printf '[Field_%d]\r\nDataFormat=%s\r\nFieldName=%s\r\nPrintText=0\r\nPrintBarcode=1\r\n' "$n" "$2" "$1"
  printf 'BarcodeType=%d\r\nBarcodeRotate=%d\r\nBarcodeLeft=%d\r\nBarcodeTop=%d\r\nBarcodeWidth=%d\r\nBarcodeHeight=%d\r\n' \
    "$3" "$4" "$5" "$6" "$7" "$8"
  n=$((n + 1))
}
n=1
{
  printf '[General]\r\nNumFields=2\r\n'
  # The document name in Code 128 Auto; a fixed EAN-13 number (its check
  # digit appended by the engine) in its guard form.
  field "Document Name" "" 0 0 20 100 90 15
  field "Mixed Data" "400638133393" 12 0 20 125 50 20
} > "$inst/sample.dpt"

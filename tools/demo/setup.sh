#!/usr/bin/env bash
# Sample scenario of the demo job: a page template with a background and a
# foreground picture and text fields, the default scenario of the demo
# install folder given as $1 (a Unix path inside the Wine prefix).
set -euo pipefail
wine "$DV_BUILD/x64/tools/dvsample.exe" "$(winepath -w "$1")"

#!/usr/bin/env bash
# On a fresh Debian machine: install the packages, build everything and run
# the main job (a sample job printed through the engine, rendered to PNG).
set -euo pipefail
here="$(dirname "$0")"
bash "$here/setup.sh"
bash "$here/build.sh"
bash "$here/demo.sh"

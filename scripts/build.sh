#!/usr/bin/env bash
# Configures and builds both architectures into $DV_BUILD (default build/).
set -euo pipefail
source "$(dirname "$0")/env.sh"
jobs=$(nproc)
cmake -S "$DV_ROOT" -B "$DV_BUILD/x64" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$DV_ROOT/cmake/toolchain-x86_64-w64-mingw32.cmake" >/dev/null
cmake --build "$DV_BUILD/x64" -j "$jobs"
if [ -n "$(ls "$DV_ROOT"/viewer/*.cpp 2>/dev/null)" ]; then
  cmake -S "$DV_ROOT" -B "$DV_BUILD/x86" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$DV_ROOT/cmake/toolchain-i686-w64-mingw32.cmake" >/dev/null
  cmake --build "$DV_BUILD/x86" -j "$jobs"
fi

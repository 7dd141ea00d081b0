#!/usr/bin/env bash
# Configures and builds both architectures into $DV_BUILD (default build/),
# then installs the deliverables of both into $DV_BUILD/dist: the folder an
# administrator copies to the install folder.
set -euo pipefail
source "$(dirname "$0")/env.sh"
jobs=$(nproc)
cmake -S "$DV_ROOT" -B "$DV_BUILD/x64" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$DV_ROOT/cmake/toolchain-x86_64-w64-mingw32.cmake" >/dev/null
cmake --build "$DV_BUILD/x64" -j "$jobs"
builds=(x64)
if [ -n "$(ls "$DV_ROOT"/viewer/*.cpp 2>/dev/null)" ]; then
  cmake -S "$DV_ROOT" -B "$DV_BUILD/x86" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$DV_ROOT/cmake/toolchain-i686-w64-mingw32.cmake" >/dev/null
  cmake --build "$DV_BUILD/x86" -j "$jobs"
  builds+=(x86)
fi
# A fresh folder each time, so that it holds exactly this build's set;
# stripped of the debug information that the static runtime libraries bring.
rm -rf "$DV_BUILD/dist"
for arch in "${builds[@]}"; do
  cmake --install "$DV_BUILD/$arch" --prefix "$DV_BUILD/dist" --strip >/dev/null
done
echo "build.sh: deliverables in $DV_BUILD/dist"

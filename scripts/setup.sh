#!/usr/bin/env bash
# Installs everything the build, the tests and the demo need (Debian packages
# only): the mingw-w64 cross compilers, Wine (64- and 32-bit), Xvfb,
# Ghostscript, ImageMagick, CMake, Ninja, GoogleTest's sources, the HTML
# Help compiler (chmcmd, from the Free Pascal utilities), Python 3 (the check
# of the installed deliverables), Wine's own fonts (fonts-wine: without its
# Marlett the title-bar buttons show as letters), xdotool, which drives the
# mouse and keys for scripts/screenshots.sh, and clang with its runtime
# libraries (libFuzzer, AddressSanitizer) for the native fuzz targets.
set -euo pipefail
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
  cmake ninja-build make \
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix gcc-mingw-w64-x86-64-posix gcc-mingw-w64-i686-posix \
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 mingw-w64-tools \
  wine wine64 wine32:i386 \
  xvfb x11-utils xauth imagemagick ghostscript \
  googletest fp-utils python3 fonts-wine xdotool \
  clang libclang-rt-14-dev >/dev/null

# Environment shared by the build, test and demo scripts. Source it.
#   DV_BUILD   build folder (default: build/ in the checkout)
#   DV_PREFIX  the Wine prefix these scripts own (default: $DV_BUILD/wineprefix)
DV_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export DV_ROOT
export DV_BUILD="${DV_BUILD:-$DV_ROOT/build}"
export DV_PREFIX="${DV_PREFIX:-$DV_BUILD/wineprefix}"
export WINEPREFIX="$DV_PREFIX"
export WINEARCH=win64
export WINEDEBUG=-all
# Pinned locale: the ANSI code page of the event log and of INI files follows it.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
export GTEST_COLOR=no

# Debian's wine wrapper starts the 32-bit loader, which hands 64-bit programs
# on to wine64. Where the kernel runs no 32-bit programs (no IA-32 emulation)
# that first step fails with "Exec format error": put a wine that goes to the
# 64-bit loader directly first on PATH. DV_WIN32 tells whether 32-bit
# programs (the viewer) can run on this machine at all.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  export DV_WIN32=1
else
  export DV_WIN32=0
  dv_winebin="$DV_BUILD/.winebin"
  if [ ! -x "$dv_winebin/wine" ]; then
    mkdir -p "$dv_winebin"
    printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' > "$dv_winebin/wine"
    chmod +x "$dv_winebin/wine"
    ln -sf wine "$dv_winebin/wine-stable"
  fi
  case ":$PATH:" in *":$dv_winebin:"*) ;; *) export PATH="$dv_winebin:$PATH" ;; esac
fi

# Starts Xvfb when there is no display (windows need one).
dv_ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local n=${DV_XVFB_DISPLAY:-97}
  if ! DISPLAY=:$n xdpyinfo >/dev/null 2>&1; then
    # A server that died leaves its socket and lock behind: clear them.
    rm -f "/tmp/.X11-unix/X$n" "/tmp/.X$n-lock"
    Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    for _ in $(seq 1 100); do DISPLAY=:$n xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  fi
  export DISPLAY=:$n
}

# Makes the Wine prefix with the test driver installed and starts a
# persistent wineserver for it. A new prefix is made when none exists.
dv_ensure_prefix() {
  dv_ensure_display
  if [ ! -f "$DV_PREFIX/.dv-ready" ]; then
    rm -rf "$DV_PREFIX"
    mkdir -p "$DV_PREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    # Without a window manager on Xvfb, Wine waits up to two seconds for one
    # at every hide or destroy of a managed window: keep windows unmanaged.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
    wine "$DV_BUILD/x64/tools/dvprinters.exe" driver "$(winepath -w "$DV_ROOT/tests/harness/dvtest.ppd")" || return 1
    touch "$DV_PREFIX/.dv-ready"
  fi
  # Wine draws the title-bar buttons with its Marlett font (Debian's
  # fonts-wine), but the loader started as on this machine does not search
  # Wine's own font folder: without the font in the prefix the buttons show
  # as letters. Only Marlett is linked, so that the dialog fonts and their
  # metrics stay those the tests were written with.
  if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ -d "$DV_PREFIX/drive_c/windows/Fonts" ]; then
    ln -sf /usr/share/wine/fonts/marlett.ttf "$DV_PREFIX/drive_c/windows/Fonts/marlett.ttf"
  fi
  wineserver -p >/dev/null 2>&1 || true
  # Start the prefix's own services now, detached from any pipe: a test
  # program that started them would hand them CTest's output pipe, and CTest
  # would wait for them until its time-out.
  wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
}

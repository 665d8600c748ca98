#!/usr/bin/env bash
# Runs a command inside a fresh Wine prefix on a virtual X display, then ends
# everything it started (by process id), also when the command fails.
#
#   scripts/with-wine.sh [--use-display] COMMAND...
#
# --use-display keeps the caller's $DISPLAY when there is one instead of
# starting Xvfb. The command sees WINEPREFIX, DISPLAY and WINEDEBUG.
set -uo pipefail

use_display=0
if [ "${1:-}" = "--use-display" ]; then use_display=1; shift; fi

xvfb_pid=""
prefix=""
cleanup() {
  if [ -n "$prefix" ]; then
    WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1
    WINEPREFIX="$prefix" wineserver -w >/dev/null 2>&1
    rm -rf "$prefix"
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ "$use_display" -eq 0 ] || [ -z "${DISPLAY:-}" ]; then
  # First free display number from :90 on (or from $SD_DISPLAY_BASE, so that
  # several runs side by side do not race for the same number).
  n=${SD_DISPLAY_BASE:-90}
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 1 100); do
    xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break
    sleep 0.1
  done
  if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
    echo "with-wine: Xvfb did not start on $DISPLAY" >&2
    exit 1
  fi
fi

prefix=$(mktemp -d /tmp/springdeck-wine.XXXXXX)
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win32
wineboot -i >/dev/null 2>&1
# Wine's own fonts (package fonts-wine: MS Sans Serif, Tahoma, Marlett) are not
# found by this Wine build where the package puts them; in the prefix's Fonts
# folder they are, and dialogs then get the metrics they have on Windows.
if [ -d /usr/share/wine/fonts ]; then
  cp -n /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/" 2>/dev/null
fi
# Keep one wineserver alive for the whole run so that every later start is quick.
wineserver -p >/dev/null 2>&1
# There is no window manager on the virtual display: let Wine draw the
# captions and frames of Springdeck's windows itself, as Windows does, so that
# screenshots show them, and for the benchmark's windows, which otherwise take
# seconds each to close. The test driver's windows stay as they are.
if [ -n "$xvfb_pid" ]; then
  wine reg add 'HKCU\Software\Wine\AppDefaults\springdeck.exe\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\AppDefaults\bench.exe\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
fi

"$@"

#!/usr/bin/env bash
# Starts the built Springdeck under Wine.
#  - With a display of the user's own ($DISPLAY answers): runs springdeck.exe
#    in the user's Wine prefix until it is turned off from its tray menu.
#  - Without one: on a virtual Xvfb display in a fresh prefix, starts it, saves
#    screenshots under build/screens/, then ends it with its "close" message.
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."

# Help opens springdeck.chm (HTML Help) when it lies beside the program, and
# springdeck.hlp (WinHelp) otherwise; the build writes both.
for help in springdeck.chm springdeck.hlp; do
  [ -f "$build/$help" ] || echo "Note: $build/$help is missing; run 'make build' for the help files."
done
echo "Help files: $build/springdeck.chm (HTML Help) and $build/springdeck.hlp (WinHelp)."

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Starting Springdeck on $DISPLAY (turn it off from its tray icon's menu)."
  export WINEDEBUG=${WINEDEBUG:--all}
  exec wine "$build/springdeck.exe" "$@"
fi

cmake --build "$build" --target showcase >/dev/null
echo "No display: running Springdeck on a virtual display."
scripts/with-wine.sh bash -c "cd '$build' && wine tests/showcase.exe"
ls -1 "$build"/screens/run-*.png

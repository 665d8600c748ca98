#!/usr/bin/env bash
# Runs test programs with Wine reporting another Windows version: each version
# gets a prefix and a virtual display of its own beside the run's prefix of
# scripts/with-wine.sh, so that its tests can run side by side with the others.
#
#   scripts/wine-version.sh boot VERSION     boot the prefix of the version (win98, win10...)
#   scripts/wine-version.sh end VERSION      end it and everything running in it
#   scripts/wine-version.sh end-all          end every version's prefix of this run
#   scripts/wine-version.sh PROGRAM ARGS...  run a Windows program under Wine: in the
#                                            prefix of $SD_WINE_VERSION when it is set
#
# CTest uses the first two as a test fixture and the last as the emulator of
# the integration tests. A version's files live in $WINEPREFIX.VERSION:
# prefix/, and the display and the process id of its Xvfb.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-lib.sh"

base=${WINEPREFIX:-$HOME/.wine}

end_version() {
  local root=$1 pid
  [ -d "$root" ] || return 0
  end_prefix "$root/prefix"
  pid=$(cat "$root/xvfb.pid" 2>/dev/null)
  if [ -n "$pid" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ]; then
    kill "$pid" 2>/dev/null
  fi
  rm -rf "$root"
}

case "${1:-}" in
boot)
  version=${2:?version}
  root="$base.$version"
  end_version "$root"
  mkdir -p "$root/prefix" || exit 1
  start_xvfb "${SD_DISPLAY_BASE:-90}" || { echo "wine-version: Xvfb did not start" >&2; exit 1; }
  echo "$xvfb_pid" >"$root/xvfb.pid"
  boot_prefix "$root/prefix" "$display"
  configure_prefix "$root/prefix" 1 "$version" || { echo "wine-version: cannot set the version $version" >&2; exit 1; }
  # Written last: a version is ready once its display is known.
  echo "$display" >"$root/display"
  ;;
end)
  end_version "$base.${2:?version}"
  ;;
end-all)
  for root in "$base".*/; do
    [ -f "$root/xvfb.pid" ] && end_version "${root%/}"
  done
  ;;
*)
  if [ -n "${SD_WINE_VERSION:-}" ]; then
    root="$base.$SD_WINE_VERSION"
    if [ ! -f "$root/display" ]; then
      echo "wine-version: no prefix for $SD_WINE_VERSION (its CTest fixture boots it)" >&2
      exit 1
    fi
    export WINEPREFIX="$root/prefix" DISPLAY
    DISPLAY=$(cat "$root/display")
  fi
  exec wine "$@"
  ;;
esac

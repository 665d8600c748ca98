#!/usr/bin/env bash
# Runs a command inside a fresh Wine prefix on a virtual X display, then ends
# everything it started (by process id), also when the command fails.
#
#   scripts/with-wine.sh [--use-display] COMMAND...
#
# --use-display keeps the caller's $DISPLAY when there is one instead of
# starting Xvfb. The command sees WINEPREFIX, DISPLAY and WINEDEBUG. Prefixes
# of other Windows versions that the command boots beside this one
# (scripts/wine-version.sh) are ended with it.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-lib.sh"

use_display=0
if [ "${1:-}" = "--use-display" ]; then use_display=1; shift; fi

xvfb_pid=""
prefix=""
cleanup() {
  if [ -n "$prefix" ]; then
    "$here/wine-version.sh" end-all
    end_prefix "$prefix"
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
  if ! start_xvfb "${SD_DISPLAY_BASE:-90}"; then
    echo "with-wine: Xvfb did not start" >&2
    exit 1
  fi
  export DISPLAY=$display
fi

prefix=$(mktemp -d /tmp/springdeck-wine.XXXXXX)
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEARCH=win32
# Where this machine runs Wine's 32-bit loader under qemu's emulator (see
# scripts/deps.sh), every program starts several times slower: the test
# driver stretches its waiting deadlines by this factor.
if [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ] && [ -z "${SD_WAIT_SCALE:-}" ]; then
  export SD_WAIT_SCALE=4
fi
boot_prefix "$prefix" "$DISPLAY"
configure_prefix "$prefix" "$([ -n "$xvfb_pid" ] && echo 1)"

"$@"

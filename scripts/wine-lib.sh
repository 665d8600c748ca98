# Shared pieces of a Wine run on a virtual display, sourced by with-wine.sh
# and wine-version.sh. Everything started here is later ended by process id.

# Every prefix made here runs without Mono and Gecko (there is no network to
# fetch them, and nothing here needs them) and without Wine's desktop
# integration: winemenubuilder.exe would otherwise start once for every
# shortcut a test or benchmark saves, seconds each on an emulated machine.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Starts Xvfb on the first free display number from $1 on and sets xvfb_pid
# and display. Two runs that race for one number: Xvfb writes its process id
# into the number's lock file, the loser's Xvfb ends at once, and the loser
# goes on to the next number.
start_xvfb() {
  local n=$1 pid
  for _ in 1 2 3 4 5; do
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 1 100); do
      if xdpyinfo -display ":$n" >/dev/null 2>&1; then
        if [ "$(tr -d ' \n' <"/tmp/.X$n-lock" 2>/dev/null)" = "$pid" ]; then
          xvfb_pid=$pid
          display=":$n"
          return 0
        fi
        break
      fi
      sleep 0.1
    done
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    n=$((n + 1))
  done
  return 1
}

# Boots a fresh 32-bit prefix in the empty folder $1 for the display $2 and
# keeps its wineserver alive until end_prefix.
boot_prefix() {
  (
    export WINEPREFIX=$1 DISPLAY=$2 WINEARCH=win32
    wineboot -i </dev/null >/dev/null 2>&1
    # Wine's own fonts (package fonts-wine: MS Sans Serif, Tahoma, Marlett) are
    # not found by this Wine build where the package puts them; in the
    # prefix's Fonts folder they are, and dialogs then get the metrics they
    # have on Windows.
    if [ -d /usr/share/wine/fonts ]; then
      cp -n /usr/share/wine/fonts/* "$1/drive_c/windows/Fonts/" 2>/dev/null
    fi
    # Keep one wineserver alive for the whole run so that every later start is quick.
    wineserver -p </dev/null >/dev/null 2>&1
  )
}

# Writes the run's own Wine settings into the prefix $1 in one start of
# Wine: with $2 = 1, Wine draws the captions and frames of Springdeck's
# windows itself, as Windows does (there is no window manager on a virtual
# display), so that screenshots show them, and of the benchmark's windows,
# which otherwise take seconds each to close; the test driver's windows stay
# as they are. $3, when given, is the Windows version Wine reports (win98...).
configure_prefix() {
  local file="$1/drive_c/springdeck-run.reg" program
  [ "$2" = 1 ] || [ -n "${3:-}" ] || return 0
  {
    printf 'REGEDIT4\n'
    if [ "$2" = 1 ]; then
      for program in springdeck.exe bench.exe; do
        printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\%s\\X11 Driver]\n"Managed"="N"\n' "$program"
      done
    fi
    if [ -n "${3:-}" ]; then
      printf '\n[HKEY_CURRENT_USER\\Software\\Wine]\n"Version"="%s"\n' "$3"
    fi
  } >"$file"
  WINEPREFIX=$1 wine reg import 'C:\springdeck-run.reg' </dev/null >/dev/null 2>&1
}

# Ends the wineserver of the prefix $1 and everything running in it, then
# removes the prefix.
end_prefix() {
  WINEPREFIX=$1 wineserver -k >/dev/null 2>&1
  WINEPREFIX=$1 wineserver -w >/dev/null 2>&1
  rm -rf "$1"
}

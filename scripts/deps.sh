#!/usr/bin/env bash
# Installs what building, running and testing Springdeck needs on Debian,
# skipping everything that is already there.
set -euo pipefail

# fonts-wine brings Wine's own MS Sans Serif and Tahoma, so that dialogs are
# laid out with the metrics they have on Windows (without it text is clipped).
need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
# nsis (makensis) builds the installer, fp-utils (chmcmd) the HTML Help file,
# zip the portable archive; libchm-bin's extractor lets the tests read the CHM.
# rapidjson-dev (header-only) reads the browsers' JSON bookmarks; `make bench`
# also builds the bookmark readers natively with Google Benchmark and liblz4.
# clang-format, clang-tidy and cppcheck keep the style and look for faults (make lint).
for p in cmake make g++ g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev \
         wine wine32:i386 fonts-wine xvfb xauth x11-utils imagemagick googletest \
         nsis fp-utils zip unzip libchm-bin rapidjson-dev libbenchmark-dev liblz4-dev \
         clang-format clang-tidy cppcheck; do
  have_pkg "$p" || need+=("$p")
done
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
if [ ${#need[@]} -gt 0 ]; then
  echo "Installing: ${need[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${need[@]}"
fi

# Wine's loader is a 32-bit Linux program. Some virtual machines cannot run
# those natively; there it runs under qemu's user-mode emulator, registered
# with the kernel for 32-bit x86 programs. qemu before 8 tracks the guest's
# pages one by one, and each Wine process start then costs about a minute of
# processor time; qemu 10 (bookworm-backports) takes a second or two.
binfmt=/proc/sys/fs/binfmt_misc
if [ -x /usr/lib/wine/wine ] && { [ -e "$binfmt/qemu-i386" ] || ! /usr/lib/wine/wine --version >/dev/null 2>&1; }; then
  fresh=0
  if ! qemu-i386-static --version 2>/dev/null | grep -qE 'version ([89]|[1-9][0-9])\.'; then
    fresh=1
    release=""
    if grep -q '^VERSION_CODENAME=bookworm' /etc/os-release 2>/dev/null; then
      echo "deb http://deb.debian.org/debian bookworm-backports main" |
        $SUDO tee /etc/apt/sources.list.d/springdeck-backports.list >/dev/null
      release="-t bookworm-backports"
    fi
    $SUDO apt-get update -q
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends $release qemu-user-static
  fi
  [ -e "$binfmt/register" ] || $SUDO mount -t binfmt_misc binfmt_misc "$binfmt"
  # The kernel keeps the interpreter it was given open: after an upgrade the
  # entry is made anew, so that it holds the qemu installed now.
  [ "$fresh" -eq 1 ] && [ -e "$binfmt/qemu-i386" ] && echo -1 | $SUDO tee "$binfmt/qemu-i386" >/dev/null
  [ -e "$binfmt/qemu-i386" ] || echo ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' |
    $SUDO tee "$binfmt/register" >/dev/null
  /usr/lib/wine/wine --version >/dev/null 2>&1 || { echo "deps: this machine cannot run Wine's 32-bit loader" >&2; exit 1; }
  # Debian's 32-bit wineserver would itself run under the emulator, and an
  # emulated wineserver cannot read other processes' memory: module
  # snapshots and ReadProcessMemory then fail with access denied. The native
  # 64-bit wineserver of wine64 serves the emulated 32-bit programs as well;
  # the wine launcher still starts the 32-bit loader for 32-bit prefixes.
  if ! have_pkg wine64; then
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends wine64 ||
      { $SUDO apt-get update -q &&
        DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends wine64; }
  fi
fi

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
for p in cmake make g++ g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev \
         wine wine32:i386 fonts-wine xvfb xauth x11-utils imagemagick googletest \
         nsis fp-utils zip unzip libchm-bin; do
  have_pkg "$p" || need+=("$p")
done
[ ${#need[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${need[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${need[@]}"

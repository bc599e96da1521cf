#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. A machine that has them all
# is left alone and needs no network.
set -euo pipefail
# shellcheck source=scripts/common.sh
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

packages=(
    cmake make g++ clang-format
    googletest libgtest-dev
    mingw-w64 g++-mingw-w64-x86-64-posix
    wine wine64 fonts-wine
    xvfb xdotool x11-apps imagemagick
    # The help compiler (chmcmd), the help file's reader and the checks' language, the installer.
    fp-utils libchm-bin python3
    nsis
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
    log "all packages present"
    exit 0
fi

log "installing: ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null 2>&1 || die "run as root (or install sudo) to install: ${missing[*]}"
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update </dev/null
# Recommends are not needed: the 64-bit Wine loader, its X11 driver and the cross
# compiler run without them (docs/testing.md).
"${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}" </dev/null

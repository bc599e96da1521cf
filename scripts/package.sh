#!/usr/bin/env bash
# Makes the two packages a user downloads, from a Release build of build/win:
#   dist/Mnemora.Net-<version>-portable.zip   Mnemora.exe, MnemoraNet.chm, ReadMe.txt, License.txt
#   dist/Mnemora.Net-<version>-setup.exe      the installer (installer/Mnemora.nsi)
# The version is the CMake project's. MNEMORA_DIST_DIR names another output folder.
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
# shellcheck source=scripts/common.sh
. "$here/common.sh"

# Only a Release build is stripped and sized for shipping.
[ "${MNEMORA_WIN_BUILD_TYPE:-Release}" = Release ] ||
    die "packages are made from a Release build (MNEMORA_WIN_BUILD_TYPE is $MNEMORA_WIN_BUILD_TYPE)"

"$here/bootstrap.sh"
MNEMORA_WIN_BUILD_TYPE=Release "$here/build.sh" win --target MnemoraPackages

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$WIN_BUILD/CMakeCache.txt")
[ -n "$version" ] || die "no project version in $WIN_BUILD/CMakeCache.txt"
dist=${MNEMORA_DIST_DIR:-$MNEMORA_ROOT/dist}
mkdir -p "$dist"
for kind in portable.zip setup.exe; do
    file=$WIN_BUILD/dist/Mnemora.Net-$version-$kind
    [ -f "$file" ] || die "the build made no $file"
    cp -f "$file" "$dist/"
    log "$dist/${file##*/} ($(stat -c %s "$file") bytes)"
done

#!/usr/bin/env bash
# CMAKE_CROSSCOMPILING_EMULATOR of the Windows build: runs one Windows program under Wine.
# The caller (test.sh) sets DISPLAY and WINEPREFIX; without DISPLAY this call starts its own
# Xvfb, and without WINEPREFIX it uses <build folder>/wineprefix of the build tree it runs in.
set -euo pipefail
# shellcheck source=scripts/common.sh
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

[ $# -gt 0 ] || die "usage: ${0##*/} PROGRAM.exe [ARGUMENTS...]"

build_tree() {
    local d=$PWD
    while [ "$d" != / ]; do
        [ -f "$d/CMakeCache.txt" ] && { echo "$d"; return; }
        d=$(dirname "$d")
    done
    echo "$WIN_BUILD"
}
export WINEPREFIX=${WINEPREFIX:-$(build_tree)/wineprefix}

own_display=
if [ -z "${DISPLAY:-}" ]; then
    start_xvfb
    own_display=1
fi

# A first use creates the prefix; the lock keeps parallel calls from creating it twice.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock -w 600 9 || die "timed out waiting for the prefix lock"
        [ -f "$WINEPREFIX/system.reg" ] || prepare_prefix "$WINEPREFIX"
    ) 9>"$WINEPREFIX.lock"
fi

# The X server dies with this call, so nothing of the prefix may outlive it.
[ -n "$own_display" ] && on_exit wineserver_kill "$WINEPREFIX"

rc=0
timeout -k 10 "${MNEMORA_WINE_TIMEOUT:-300}" "$(wine_cmd)" "$@" </dev/null || rc=$?
[ "$rc" -eq 124 ] && log "timed out after ${MNEMORA_WINE_TIMEOUT:-300} s: $*"
exit "$rc"

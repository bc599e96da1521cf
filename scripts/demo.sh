#!/usr/bin/env bash
# Builds the bitmap-menu demo (demo/BCMenuDemo) and runs it under Wine in a virtual desktop on a
# private Xvfb, its drop-down menu open with one item selected, once per drawing style; writes
# build/win/demo-shots/bcmenu-<style>.png.
# Usage: demo.sh [classic|xp|both] [item]   (default: both, the selection moved 4 items down)
#
# The style follows the library's rules, so the XP style needs Windows XP: for it Wine reports
# Windows XP to BCMenuDemo.exe alone (HKCU\Software\Wine\AppDefaults\BCMenuDemo.exe, Version
# winxp). Without that setting Wine reports a later Windows, which gets the classic style.
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
# shellcheck source=scripts/common.sh
. "$here/common.sh"

styles=${1:-both}
item=${2:-4}
case $styles in
    both) styles="classic xp" ;;
    classic | xp) ;;
    *) die "usage: ${0##*/} [classic|xp|both] [item]" ;;
esac

"$here/build.sh" win --target BCMenuDemo
exe=$WIN_BUILD/demo/BCMenuDemo/BCMenuDemo.exe
[ -f "$exe" ] || die "BCMenuDemo.exe not found under $WIN_BUILD"
prefix=$WIN_BUILD/demo-prefix
out=$WIN_BUILD/demo-shots
mkdir -p "$out"

start_xvfb
# After start_xvfb, so it runs first at exit: nothing of Wine may outlive the X server.
on_exit wineserver_kill "$prefix"
prepare_prefix "$prefix" desktop

appkey='HKCU\Software\Wine\AppDefaults\BCMenuDemo.exe'
for style in $styles; do
    if [ "$style" = xp ]; then
        wine_in "$prefix" 60 reg add "$appkey" /v Version /d winxp /f </dev/null >/dev/null 2>&1 ||
            die "could not set the Windows version for the demo"
    else
        wine_in "$prefix" 60 reg delete "$appkey" /f </dev/null >/dev/null 2>&1 || true
    fi
    log "$style style: the menu opens with the selection $item items down"
    # The demo takes the picture itself: X cannot read Wine's popup menus (xwd shows them black).
    bmp=$out/bcmenu-$style.bmp
    rm -f "$bmp"
    wine_in "$prefix" 120 "$exe" /show "$item" /shot "Z:${bmp//\//\\}" /seconds 3 </dev/null || true
    WINEPREFIX=$prefix timeout -k 5 60 wineserver -w || true
    [ -s "$bmp" ] || die "the demo wrote no screenshot for the $style style"
    timeout 60 convert "$bmp" "$out/bcmenu-$style.png"
    # The centred dialog with its menu is what is worth looking at.
    timeout 60 convert "$bmp" -crop 560x480+360+272 +repage "$out/bcmenu-$style-menu.png"
    rm -f "$bmp"
    log "screenshots: $out/bcmenu-$style.png, $out/bcmenu-$style-menu.png"
done

#!/usr/bin/env bash
# Takes the README's screenshots from the real program under Wine: the main window on a first
# start, the tray menu opened on the notification-area icon, and the About box, each cropped to
# what it shows, then the main window once more at 150 % (144 DPI), as PNG files in
# docs/screenshots/. Runs in a fresh prefix with a virtual desktop (build/win/shots-prefix) on a
# private Xvfb display.
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
# shellcheck source=scripts/common.sh
. "$here/common.sh"

"$here/bootstrap.sh"
"$here/build.sh" win --target Mnemora --target MnemoraShots

exe=$WIN_BUILD/app/Mnemora.exe
tool=$WIN_BUILD/tests/e2e/MnemoraShots.exe
[ -f "$exe" ] && [ -f "$tool" ] || die "the build made no $exe or $tool"
out=$MNEMORA_ROOT/docs/screenshots
shots=$WIN_BUILD/shots
prefix=$WIN_BUILD/shots-prefix

start_xvfb
on_exit wineserver_kill "$prefix"
wineserver_kill "$prefix"
# A prefix that never saw the program: the pictures show the first-start defaults.
rm -rf "$prefix" "$shots"
mkdir -p "$shots" "$out"
prepare_prefix "$prefix" desktop

log "taking the pictures"
MNEMORA_EXE=$exe MNEMORA_E2E_OUT=$shots/ wine_in "$prefix" 180 "$tool" </dev/null ||
    die "MnemoraShots failed (pictures so far: $shots)"
wineserver_kill "$prefix"

log "taking the main window at 150 %"
prepare_prefix "$prefix" desktop 144
MNEMORA_EXE=$exe MNEMORA_E2E_OUT=$shots/ wine_in "$prefix" 180 "$tool" main main-window-150.bmp </dev/null ||
    die "MnemoraShots failed at 150 % (pictures so far: $shots)"
wineserver_kill "$prefix"

for name in main-window tray-menu about main-window-150; do
    [ -f "$shots/$name.bmp" ] || die "no $shots/$name.bmp"
    # No time stamps in the files, so a picture that did not change makes no change in git.
    convert "$shots/$name.bmp" -strip -define png:exclude-chunks=date,time "$out/$name.png"
    log "$out/$name.png ($(identify -format '%wx%h' "$out/$name.png"))"
done

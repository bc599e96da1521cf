#!/usr/bin/env bash
# Bootstraps, builds Mnemora.exe and starts it under Wine.
# With a DISPLAY it runs there until you close it. Without one it runs in a private Xvfb
# for MNEMORA_RUN_SECONDS (default 8), writes build/win/screenshot.png, closes the program
# and stops the server. Arguments are passed to Mnemora.exe (any argument starts it hidden).
# MNEMORA_DPI (default 96; 120, 144, 192 for 125, 150, 200 %) is the display resolution.
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
# shellcheck source=scripts/common.sh
. "$here/common.sh"

"$here/bootstrap.sh"
"$here/build.sh" win --target Mnemora

exe=$(find "$WIN_BUILD" -name Mnemora.exe -type f -not -path '*/capped/*' -not -path '*/wineprefix/*' \
    -not -path '*-prefix/*' | head -n 1)
[ -n "$exe" ] || die "Mnemora.exe not found under $WIN_BUILD"

# Its own prefix: the program writes its settings to HKLM, which must not leak into the tests.
prefix=$WIN_BUILD/run-prefix

if [ -n "${DISPLAY:-}" ]; then
    on_exit wineserver_kill "$prefix"
    # The program paints its own frame and caption; the desktop's window manager must not.
    prepare_prefix "$prefix" undecorated "${MNEMORA_DPI:-96}"
    log "starting $exe on $DISPLAY"
    rc=0
    wine_in "$prefix" "${MNEMORA_RUN_TIMEOUT:-12h}" "$exe" "$@" || rc=$?
    exit "$rc"
fi

start_xvfb
# After start_xvfb, so it runs first at exit: nothing of Wine may outlive the X server.
on_exit wineserver_kill "$prefix"
prepare_prefix "$prefix" "" "${MNEMORA_DPI:-96}"
log "starting $exe in a virtual desktop on $DISPLAY at ${MNEMORA_DPI:-96} DPI"
seconds=${MNEMORA_RUN_SECONDS:-8}
wine_in "$prefix" $((seconds + 120)) explorer "/desktop=$MNEMORA_DESKTOP" "$exe" "$@" </dev/null &
pid=$!
sleep "$seconds"
if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid" || true
    die "Mnemora.exe ended before the screenshot"
fi
shot=$WIN_BUILD/screenshot.png
screenshot "$shot"
log "screenshot: $shot"

# taskkill without /f posts WM_CLOSE, i.e. a normal exit; it has to run in the same desktop
# to see the program's windows.
wine_in "$prefix" 60 explorer "/desktop=$MNEMORA_DESKTOP" taskkill /im Mnemora.exe </dev/null >/dev/null 2>&1 || true
# The virtual desktop lingers a few seconds after its last program.
for ((i = 0; i < 200; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    wineserver_kill "$prefix"
    wait "$pid" 2>/dev/null || true
    die "Mnemora.exe did not close within 20 s of WM_CLOSE"
fi
wait "$pid" 2>/dev/null || true

# Sourced by the other scripts: paths, logging, the private X server and Wine prefixes.
# shellcheck shell=bash disable=SC2034  # the variables are for the scripts that source this

MNEMORA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# MNEMORA_BUILD_DIR lets a developer keep several build trees side by side.
BUILD_ROOT=${MNEMORA_BUILD_DIR:-$MNEMORA_ROOT/build}
NATIVE_BUILD=$BUILD_ROOT/native
WIN_BUILD=$BUILD_ROOT/win
TOOLCHAIN_FILE=$MNEMORA_ROOT/cmake/mingw-w64-x86_64-posix.cmake

# Virtual desktop used wherever no window manager runs: Wine then draws frames itself
# and explorer provides a taskbar with a notification area.
MNEMORA_DESKTOP=${MNEMORA_DESKTOP:-mnemora,1280x1024}

export WINEDEBUG=-all
# Skip the Mono and Gecko download prompts; the program needs neither. Without
# winemenubuilder, shortcuts and file types made inside a prefix (the installer's Start-menu
# entry) stay there instead of landing in the Linux desktop's menus.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}

log() { printf '[%s] %s\n' "${0##*/}" "$*" >&2; }
die() { log "error: $*"; exit 1; }

wine_cmd() {
    if command -v wine64 >/dev/null 2>&1; then echo wine64; else echo wine; fi
}

# Cleanup actions run once, in reverse order, when the script exits.
_cleanup_actions=()
on_exit() {
    local command
    printf -v command '%q ' "$@"
    _cleanup_actions+=("$command")
}
run_cleanup() {
    local i
    for ((i = ${#_cleanup_actions[@]} - 1; i >= 0; i--)); do
        eval "${_cleanup_actions[i]}" || true
    done
    _cleanup_actions=()
}
trap run_cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Starts Xvfb on the first free display from :90 upward (or MNEMORA_DISPLAY) and exports DISPLAY.
XVFB_PID=
start_xvfb() {
    local n=${MNEMORA_DISPLAY:-90} last=$(( ${MNEMORA_DISPLAY:-90} + 60 )) i
    for (( ; n < last; n++)); do
        if [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; then continue; fi
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
        XVFB_PID=$!
        for ((i = 0; i < 100; i++)); do
            if ! kill -0 "$XVFB_PID" 2>/dev/null; then break; fi
            if [ -S "/tmp/.X11-unix/X$n" ] && DISPLAY=":$n" timeout 5 xdotool getdisplaygeometry >/dev/null 2>&1; then
                export DISPLAY=":$n"
                on_exit stop_xvfb
                log "Xvfb on $DISPLAY"
                return 0
            fi
            sleep 0.1
        done
        # Lost a race for this number (or the server failed): try the next one.
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=
    done
    die "no free X display between :${MNEMORA_DISPLAY:-90} and :$((last - 1))"
}

stop_xvfb() {
    [ -n "$XVFB_PID" ] || return 0
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
}

# wine_in PREFIX SECONDS ARGS...: one Wine call with its own time limit.
wine_in() {
    local prefix=$1 secs=$2
    shift 2
    WINEPREFIX=$prefix timeout -k 10 "$secs" "$(wine_cmd)" "$@"
}

# Ends every process of PREFIX's wineserver; registered for exit by the callers.
wineserver_kill() {
    [ -d "$1" ] || return 0
    WINEPREFIX=$1 timeout -k 5 60 wineserver -k >/dev/null 2>&1 || true
}

# prepare_prefix PREFIX [desktop|undecorated] [DPI]: creates or updates the prefix and waits until
# Wine is idle. With "desktop", every program in it runs inside the virtual desktop
# $MNEMORA_DESKTOP. With "undecorated", Wine draws the frames of captioned windows itself instead
# of handing them to the window manager of the user's desktop, which would hide a frame the program
# paints. DPI (96, 120, 144, 192...) is the display resolution of every program in the prefix.
prepare_prefix() {
    local prefix=$1 mode=${2:-} dpi=${3:-}
    mkdir -p "$(dirname "$prefix")"
    local started=$SECONDS
    WINEPREFIX=$prefix timeout -k 10 300 wineboot -i </dev/null >/dev/null 2>&1 ||
        die "wineboot -i failed for $prefix"
    if [ "$mode" = desktop ]; then
        local name=${MNEMORA_DESKTOP%%,*} size=${MNEMORA_DESKTOP#*,}
        wine_in "$prefix" 60 reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d "$name" /f </dev/null >/dev/null 2>&1 ||
            die "could not set the virtual desktop in $prefix"
        wine_in "$prefix" 60 reg add 'HKCU\Software\Wine\Explorer\Desktops' /v "$name" /d "$size" /f </dev/null >/dev/null 2>&1 ||
            die "could not set the virtual desktop size in $prefix"
    elif [ "$mode" = undecorated ]; then
        wine_in "$prefix" 60 reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f </dev/null >/dev/null 2>&1 ||
            die "could not turn off window manager decorations in $prefix"
    fi
    if [ -n "$dpi" ]; then
        case $dpi in '' | *[!0-9]*) die "DPI must be a number, not '$dpi'" ;; esac
        [ "$dpi" -ge 48 ] && [ "$dpi" -le 480 ] || die "DPI $dpi is out of range (48 to 480)"
        # Programs that run already keep the value they read; after the wait below for the
        # server to end, the next session starts with it.
        wine_in "$prefix" 60 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
            </dev/null >/dev/null 2>&1 || die "could not set the display resolution in $prefix"
    fi
    WINEPREFIX=$prefix timeout -k 10 180 wineserver -w || die "wineserver -w timed out for $prefix"
    # Debian's Wine 8 never looks in /usr/share/wine/fonts (package fonts-wine); without these
    # in the prefix, caption and scroll glyphs (Marlett) show as letters and dialogs fall back
    # from MS Sans Serif and Tahoma to DejaVu metrics.
    if [ -d /usr/share/wine/fonts ]; then
        cp -n /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/" || die "could not copy Wine's fonts into $prefix"
    fi
    log "Wine prefix ready in $((SECONDS - started)) s: $prefix"
}

# screenshot FILE: the whole X screen as PNG.
screenshot() {
    timeout 30 xwd -root -silent -display "$DISPLAY" | timeout 60 convert xwd:- "png:$1"
}

# bench_desktop PREFIX: a private Xvfb and a prefix with a virtual desktop for the benches under
# bench/. A desktop session loads an X resource database (xrdb); a bare Xvfb has none, and then
# Xlib looks for ~/.Xdefaults again at every font Wine selects, which would dominate what the
# benches measure. MNEMORA_SOAK_BARE_X=1 measures without one.
bench_desktop() {
    start_xvfb
    if [ "${MNEMORA_SOAK_BARE_X:-0}" != 1 ]; then
        xprop -display "$DISPLAY" -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "$(printf 'Xft.dpi:\t96\n')" ||
            die "could not set the X resource database"
    fi
    on_exit wineserver_kill "$1"
    wineserver_kill "$1"
    prepare_prefix "$1" desktop
}

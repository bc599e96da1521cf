#!/usr/bin/env bash
# Long-run figures of the real program under Wine, in a prefix of their own with a virtual
# desktop (build/win/soak-prefix):
#  1. memory: resident growth after warm-up per 1,000 tray menus and per 10,000 refresh ticks
#     (MnemoraSoak drives the program and reads its working set);
#  2. idle CPU: user + system time of the program's Wine process over the same stretch as that
#     of a minimal dialog rewriting one label a second (MnemoraIdleRef), one after the other, in
#     alternating rounds; the wineserver's and the X server's time in each stretch as well.
# Usage: bench/soak.sh [menus] [ticks] [idle seconds] [rounds]   (defaults 2000 20000 120 3)
# MNEMORA_SOAK_EXE names another build of Mnemora.exe to measure (e.g. an older one).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=scripts/common.sh
. "$here/../scripts/common.sh"

menus=${1:-2000}
ticks=${2:-20000}
idle_secs=${3:-120}
rounds=${4:-3}
warm_up_secs=15

"$MNEMORA_ROOT/scripts/build.sh" win --target Mnemora MnemoraSoak MnemoraIdleRef >&2
exe=${MNEMORA_SOAK_EXE:-$WIN_BUILD/app/Mnemora.exe}
soak=$WIN_BUILD/bench/MnemoraSoak.exe
ref=$WIN_BUILD/bench/MnemoraIdleRef.exe
[ -f "$exe" ] || die "no program at $exe"

winpath() { printf 'Z:%s' "${1//\//\\}"; }

prefix=$WIN_BUILD/soak-prefix
bench_desktop "$prefix"

echo "== memory: $menus tray menus, $ticks refresh ticks =="
wine_in "$prefix" 3600 "$soak" memory "$(winpath "$exe")" "$menus" "$ticks" </dev/null

# CPU time of a process in clock ticks (user + system); the name field may hold blanks.
cpu_ticks() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || { echo 0; return; }
    stat=${stat##*) }
    awk '{ print $12 + $13 }' <<<"$stat"
}

# The same to the nanosecond: time on a CPU of all the process's threads (the clock-tick
# figures are too coarse for an idle minute).
run_ns() {
    cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f\n", s }'
}

# The wineserver of this prefix: the one whose environment names it.
wineserver_pid() {
    local p
    for p in $(pgrep -x 'wineserver(64)?' || true); do
        if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$prefix"; then
            echo "$p"
            return
        fi
    done
}

hz=$(getconf CLK_TCK)
ms() { echo $(( $1 * 1000 / hz )); }

# idle_run LABEL TITLE EXE [ARGS...]: starts the program, lets it settle, measures, closes it.
idle_run() {
    local label=$1 title=$2
    shift 2
    WINEPREFIX=$prefix timeout -k 10 $((idle_secs + warm_up_secs + 120)) "$(wine_cmd)" "$@" </dev/null >/dev/null 2>&1 &
    local launcher=$! pid="" i
    for ((i = 0; i < 100; i++)); do
        pid=$(pgrep -P "$launcher" | head -n 1 || true)
        [ -n "$pid" ] && break
        sleep 0.1
    done
    [ -n "$pid" ] || die "$label did not start"
    sleep "$warm_up_secs"
    local server xvfb=$XVFB_PID
    server=$(wineserver_pid)
    local c0 n0 s0 x0 c1 n1 s1 x1
    c0=$(cpu_ticks "$pid") n0=$(run_ns "$pid") s0=$(cpu_ticks "${server:-0}") x0=$(cpu_ticks "$xvfb")
    sleep "$idle_secs"
    c1=$(cpu_ticks "$pid") n1=$(run_ns "$pid") s1=$(cpu_ticks "${server:-0}") x1=$(cpu_ticks "$xvfb")
    wine_in "$prefix" 60 "$soak" close "$title" </dev/null || log "could not close $label"
    wait "$launcher" 2>/dev/null || true
    printf '%-24s user+system %5d ms   run time %7.1f ms   wineserver %5d ms   Xvfb %5d ms\n' "$label" \
        "$(ms $((c1 - c0)))" "$(awk -v a="$n0" -v b="$n1" 'BEGIN { print (b - a) / 1e6 }')" \
        "$(ms $((s1 - s0)))" "$(ms $((x1 - x0)))"
    printf '%s\t%s\t%s\n' "$label" "$((c1 - c0))" "$((n1 - n0))" >>"$tally"
}

tally=$(mktemp)
on_exit rm -f "$tally"
echo "== idle CPU over $idle_secs s, after $warm_up_secs s of warm-up, $rounds rounds =="
for ((r = 1; r <= rounds; r++)); do
    idle_run "Mnemora (shown)" Mnemora "$exe"
    idle_run "minimal dialog" MnemoraIdleRef "$ref"
    idle_run "Mnemora (hidden, tray)" Mnemora "$exe" -m
done
awk -F '\t' -v hz="$hz" -v secs="$idle_secs" '
    { ticks[$1] += $2; ns[$1] += $3; runs[$1]++ }
    END {
        for (k in runs)
            printf "%-24s mean user+system %5.0f ms, run time %6.1f ms per %d s\n", k,
                ticks[k] * 1000 / hz / runs[k], ns[k] / 1e6 / runs[k], secs
        a = "Mnemora (shown)"; b = "minimal dialog"
        if (ticks[b] > 0 && ns[b] > 0)
            printf "%s / %s: %.2f (user+system), %.2f (run time)\n", a, b, ticks[a] / ticks[b], ns[a] / ns[b]
    }' "$tally"

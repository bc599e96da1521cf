#!/usr/bin/env bash
# Start time under Wine: from CreateProcess to the first memory figure painted on screen, for the
# real program and the minimal dialog side by side, each round in a new order (MnemoraStartBench),
# in a prefix of its own with a virtual desktop (build/win/start-prefix) where automatic
# freeing is off, so no pass runs.
# Usage: bench/start.sh [rounds] [variants]   (defaults 10, "all")
#   variants "all" adds the baselines that pay what every tray program pays beyond a bare dialog
#   (the common controls and the shell loaded at start; a tray icon added before the figure) and
#   the program's own dialog shown bare; "plain" measures the program and the dialog only.
# MNEMORA_START_EXE names another build of Mnemora.exe to measure instead of this tree's;
# MNEMORA_START_COMPARE one to measure beside it (e.g. an older one), in the same rounds.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=scripts/common.sh
. "$here/../scripts/common.sh"

rounds=${1:-10}
variants=${2:-all}

"$MNEMORA_ROOT/scripts/build.sh" win --target Mnemora MnemoraStartBench MnemoraIdleRef MnemoraIdleRefShell >&2
exe=${MNEMORA_START_EXE:-$WIN_BUILD/app/Mnemora.exe}
bench=$WIN_BUILD/bench/MnemoraStartBench.exe
ref=$WIN_BUILD/bench/MnemoraIdleRef.exe
ref_shell=$WIN_BUILD/bench/MnemoraIdleRefShell.exe
compare=${MNEMORA_START_COMPARE:-}
[ -f "$exe" ] || die "no program at $exe"
[ -z "$compare" ] || [ -f "$compare" ] || die "no program at $compare"

winpath() { printf 'Z:%s' "${1//\//\\}"; }

prefix=$WIN_BUILD/start-prefix
bench_desktop "$prefix"

targets=("minimal dialog" ref "$(winpath "$ref")" "")
if [ "$variants" = all ]; then
    targets+=("dialog + controls, shell" ref "$(winpath "$ref_shell")" "")
    targets+=("dialog + ..., tray icon" ref "$(winpath "$ref_shell")" "tray")
    targets+=("program's dialog, bare" dialog "$(winpath "$ref_shell")" "dialog")
fi
targets+=("Mnemora.exe" program "$(winpath "$exe")" "")
[ -z "$compare" ] || targets+=("Mnemora.exe (compared)" program "$(winpath "$compare")" "")

log "$rounds rounds on $(nproc) cores, load $(cut -d ' ' -f 1-3 /proc/loadavg)"
wine_in "$prefix" $((600 + rounds * 60)) "$bench" "$rounds" "${targets[@]}" </dev/null

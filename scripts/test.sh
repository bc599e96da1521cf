#!/usr/bin/env bash
# Bootstraps, builds both trees and runs every test: native (engine), Windows (framework and
# controls, under Wine) and end-to-end (the real program in a fresh Wine prefix).
# The last line is the combined count: "N passed, N failed".
# Usage: test.sh [native] [win] [e2e]   (no argument: all three)
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
# shellcheck source=scripts/common.sh
. "$here/common.sh"

want_native=0 want_win=0 want_e2e=0
[ $# -gt 0 ] || set -- native win e2e
for suite in "$@"; do
    case $suite in
        native) want_native=1 ;;
        win) want_win=1 ;;
        e2e) want_e2e=1 ;;
        *) die "usage: ${0##*/} [native] [win] [e2e]" ;;
    esac
done

"$here/bootstrap.sh"

total_passed=0
total_failed=0
total_skipped=0
problems=()

# run_ctest NAME BUILD_DIR [ctest arguments]: runs ctest and adds its counts to the totals.
# Counts come from ctest's closing lines ("N tests failed out of M", "(Skipped)"), which count
# a test that could not start as failed.
run_ctest() {
    local name=$1 dir=$2
    shift 2
    local log_file=$dir/ctest-$name.log rc=0
    ctest --test-dir "$dir" --output-on-failure "$@" 2>&1 | tee "$log_file" || rc=$?
    local line tests=0 failures=0 skipped
    line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log_file" | tail -n 1 || true)
    if [ -n "$line" ]; then
        failures=$(sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/' <<<"$line")
        tests=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    fi
    skipped=$(grep -c -E '^[[:space:]]+[0-9]+ - .* \(Skipped\)$' "$log_file" || true)
    if [ "$tests" -eq 0 ]; then
        problems+=("$name: no tests ran")
        failures=1
    elif [ "$rc" -ne 0 ] && [ "$failures" -eq 0 ]; then
        problems+=("$name: ctest exited with $rc")
        failures=1
    fi
    local passed=$(( tests - failures - skipped ))
    [ "$passed" -ge 0 ] || passed=0
    log "$name: $passed passed, $failures failed, $skipped skipped"
    total_passed=$(( total_passed + passed ))
    total_failed=$(( total_failed + failures ))
    total_skipped=$(( total_skipped + skipped ))
}

# Unformatted sources count as one failure: the style is part of what the tests hold.
if ! "$here/format.sh" check; then
    problems+=("C++ sources not formatted: scripts/format.sh apply")
    total_failed=$((total_failed + 1))
fi

# A build that fails counts as one failure, so a broken tree never reads "0 failed".
build_failed() {
    problems+=("$1 build failed")
    total_failed=$((total_failed + 1))
}

if [ "$want_native" -eq 1 ]; then
    if "$here/build.sh" native; then
        run_ctest native "$NATIVE_BUILD" -j2
    else
        build_failed native
    fi
fi

if [ "$want_win" -eq 1 ] || [ "$want_e2e" -eq 1 ]; then
    if "$here/build.sh" win; then
        start_xvfb
        if [ "$want_win" -eq 1 ]; then
            win_prefix=$WIN_BUILD/wineprefix
            on_exit wineserver_kill "$win_prefix"
            wineserver_kill "$win_prefix"
            prepare_prefix "$win_prefix"
            WINEPREFIX=$win_prefix run_ctest win "$WIN_BUILD" -L '^win$'
            wineserver_kill "$win_prefix"
        fi
        if [ "$want_e2e" -eq 1 ]; then
            # A fresh prefix per run: the program starts on a machine that never saw it.
            e2e_prefix=$WIN_BUILD/e2e-prefix
            on_exit wineserver_kill "$e2e_prefix"
            wineserver_kill "$e2e_prefix"
            rm -rf "$e2e_prefix" "$WIN_BUILD/e2e-shots"
            prepare_prefix "$e2e_prefix" desktop
            WINEPREFIX=$e2e_prefix run_ctest e2e "$WIN_BUILD" -L '^e2e$'
            wineserver_kill "$e2e_prefix"
            # The look at 150 %: Wine has one DPI per prefix, read when its server starts.
            e2e_dpi_prefix=$WIN_BUILD/e2e-dpi-prefix
            on_exit wineserver_kill "$e2e_dpi_prefix"
            wineserver_kill "$e2e_dpi_prefix"
            rm -rf "$e2e_dpi_prefix"
            prepare_prefix "$e2e_dpi_prefix" desktop 144
            WINEPREFIX=$e2e_dpi_prefix run_ctest e2e-dpi "$WIN_BUILD" -L '^e2e-dpi$'
            wineserver_kill "$e2e_dpi_prefix"
        fi
    else
        build_failed Windows
    fi
fi

run_cleanup
for p in "${problems[@]}"; do log "$p"; done
summary="$total_passed passed, $total_failed failed"
[ "$total_skipped" -eq 0 ] || summary+=", $total_skipped skipped"
echo "$summary"
[ "$total_failed" -eq 0 ] && [ "$total_passed" -gt 0 ]

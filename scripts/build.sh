#!/usr/bin/env bash
# Configures and builds build/native (host g++: engine and its tests) and build/win
# (MinGW-w64 cross build: the program, its Windows tests and the end-to-end tests).
# Usage: build.sh [native|win|all] [extra arguments for cmake --build, e.g. --target Mnemora]
set -euo pipefail
# shellcheck source=scripts/common.sh
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

what=${1:-all}
[ $# -gt 0 ] && shift
jobs=${MNEMORA_JOBS:-2}

build_native() {
    log "native build in $NATIVE_BUILD"
    cmake -S "$MNEMORA_ROOT" -B "$NATIVE_BUILD" -DCMAKE_BUILD_TYPE="${MNEMORA_NATIVE_BUILD_TYPE:-Debug}"
    cmake --build "$NATIVE_BUILD" -j"$jobs" "$@"
}

build_win() {
    log "Windows build in $WIN_BUILD"
    cmake -S "$MNEMORA_ROOT" -B "$WIN_BUILD" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN_FILE" \
        -DCMAKE_BUILD_TYPE="${MNEMORA_WIN_BUILD_TYPE:-Release}"
    cmake --build "$WIN_BUILD" -j"$jobs" "$@"
}

case $what in
    native) build_native "$@" ;;
    win) build_win "$@" ;;
    all) build_native "$@" && build_win "$@" ;;
    *) die "usage: ${0##*/} [native|win|all] [cmake --build arguments]" ;;
esac

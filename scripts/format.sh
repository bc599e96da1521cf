#!/usr/bin/env bash
# Checks that every C++ source follows .clang-format; "format.sh apply" rewrites them instead.
# Exits non-zero and names the files when any is not formatted.
set -euo pipefail
# shellcheck source=scripts/common.sh
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

mode=${1:-check}
case $mode in check | apply) ;; *) die "usage: ${0##*/} [check|apply]" ;; esac
command -v clang-format >/dev/null 2>&1 || die "clang-format is missing (scripts/bootstrap.sh installs it)"

cd "$MNEMORA_ROOT"
mapfile -t files < <(git ls-files -- '*.cpp' '*.h' 2>/dev/null || find . -name '*.cpp' -o -name '*.h' -not -path './build/*')
[ ${#files[@]} -gt 0 ] || die "no C++ sources found"

if [ "$mode" = apply ]; then
    clang-format -i --style=file "${files[@]}"
    log "formatted ${#files[@]} files"
    exit 0
fi

bad=()
for f in "${files[@]}"; do
    clang-format --style=file --dry-run --Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done
if [ ${#bad[@]} -gt 0 ]; then
    log "not formatted (run scripts/format.sh apply): ${bad[*]}"
    exit 1
fi
log "all ${#files[@]} C++ files formatted"

#!/usr/bin/env bash
# clang-format over the project's C++ sources; --check only reports.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files -co --exclude-standard -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h')
[ ${#files[@]} -eq 0 ] && exit 0
if [ "${1:-}" = "--check" ]; then
    log=$(mktemp)
    trap 'rm -f "$log"' EXIT
    if ! clang-format --dry-run --Werror "${files[@]}" 2>"$log"; then
        echo "orlo: these files need clang-format (run scripts/format.sh):" >&2
        grep -o '^[^:]*' "$log" | sort -u >&2
        exit 1
    fi
else
    clang-format -i "${files[@]}"
fi

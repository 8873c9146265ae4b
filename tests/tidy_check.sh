#!/usr/bin/env bash
# clang-tidy, with the checks that .clang-tidy chooses, finds nothing in the project's sources.
# Needs the build's compile_commands.json.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=$1
[ -f "$build/compile_commands.json" ] || { echo "FAIL: no compile_commands.json in $build"; exit 1; }
run-clang-tidy -p "$build" -j "$(nproc)" -quiet \
    "^$source_dir/(app|ui|combo|spellbook|tools|bench|tests)/[^/]*\.cpp$" >"$build/clang-tidy.log" 2>&1 || {
    grep -E "(warning|error):" "$build/clang-tidy.log" | sort -u
    echo "FAIL: clang-tidy found the above (whole output in $build/clang-tidy.log)"
    exit 1
}
echo "clang-tidy: $(grep -c '^clang-tidy' "$build/clang-tidy.log") files clean"

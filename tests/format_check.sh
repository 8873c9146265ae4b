#!/usr/bin/env bash
# Every C++ source of the project is formatted as .clang-format says.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(find app ui combo spellbook tools bench tests fuzz -name '*.cpp' -o -name '*.h' | sort)
clang-format --dry-run --Werror "${files[@]}"
echo "${#files[@]} files formatted"

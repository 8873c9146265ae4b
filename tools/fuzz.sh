#!/usr/bin/env bash
# Builds the fuzz preset and runs each fuzz target in turn for the given number of seconds,
# starting from its seed corpus in fuzz/corpus/<target>/ with its dictionary
# fuzz/dict/<target>.dict. What a run finds new is kept in build/fuzz/fuzz/corpus/<target>/
# (the seeds in the source tree are never written), inputs that fail in
# build/fuzz/fuzz/artifacts/<target>/, and each run's output in build/fuzz/fuzz/logs/.
# Prints libFuzzer's final figures per target.
#
# Usage: tools/fuzz.sh SECONDS [TARGET...]     (default: every target)
set -euo pipefail

usage() {
    echo "usage: $0 SECONDS [fuzz_text_split|fuzz_recompute|fuzz_lookup ...]" >&2
    exit 2
}
[ $# -ge 1 ] || usage
seconds="$1"
shift
[[ "$seconds" =~ ^[1-9][0-9]*$ ]] || usage
all=(fuzz_text_split fuzz_recompute fuzz_lookup)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")
for t in "${targets[@]}"; do
    [[ " ${all[*]} " == *" $t "* ]] || usage
done

root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2

out="$root/build/fuzz/fuzz"
mkdir -p "$out/logs"
# Readable stacks in the reports when the symbolizer is there.
if command -v llvm-symbolizer >/dev/null; then
    export ASAN_SYMBOLIZER_PATH="${ASAN_SYMBOLIZER_PATH:-$(command -v llvm-symbolizer)}"
fi
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"

summary=()
failed=0
for t in "${targets[@]}"; do
    work="$out/corpus/$t"
    artifacts="$out/artifacts/$t"
    log="$out/logs/$t.log"
    mkdir -p "$work" "$artifacts"
    echo "== $t: ${seconds}s, log $log"
    status=0
    # A single input taking 25 s is a hang, and is reported as one.
    "$out/$t" -max_total_time="$seconds" -timeout=25 -print_final_stats=1 \
        -dict="$root/fuzz/dict/$t.dict" -artifact_prefix="$artifacts/" \
        "$work" "$root/fuzz/corpus/$t" >"$log" 2>&1 || status=$?

    done_line="$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1 || true)"
    stat() { sed -n "s/^stat::$1:[[:space:]]*//p" "$log" | tail -n 1; }
    field() { sed -n "s/.* $1: \([^ ]*\).*/\1/p" <<<"$done_line"; }
    grep -E '^stat::' "$log" || true
    [ -n "$done_line" ] && echo "$done_line"
    if [ "$status" -ne 0 ]; then
        failed=1
        echo "!! $t stopped with status $status; the end of its log:"
        tail -n 40 "$log"
        echo "!! inputs kept in $artifacts"
    fi
    summary+=("$(printf '%-16s %12s %8s %7s %8s %14s %s' "$t" "$(stat number_of_executed_units)" \
        "$(stat average_exec_per_sec)" "$(field cov)" "$(field ft)" "$(field corp)" \
        "$([ "$status" -eq 0 ] && echo ok || echo FAILED)")")
done

echo
printf '%-16s %12s %8s %7s %8s %14s %s\n' target executions exec/s cov ft corpus result
printf '%s\n' "${summary[@]}"
exit "$failed"

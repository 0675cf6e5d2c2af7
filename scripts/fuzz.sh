#!/usr/bin/env bash
# Builds the fuzz targets (preset "fuzz": clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each one for the given number of seconds, one after the
# other. A crash, leak, hang or sanitizer report stops the script; the input that caused it is
# kept in build/fuzz/artifacts/ and the full output in build/fuzz/<target>.log.
#
#   bash scripts/fuzz.sh [seconds] [target...]
#   targets: receive_path write_frames config_round_trip (default: all three, 60 s each)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(receive_path write_frames config_round_trip)

bash scripts/install-deps.sh fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

# Longest input the fuzzer makes. The time per run grows with it; these hold a read-back or a
# download of several table frames (the "medium" seeds). Longer seeds are cut to this length.
max_len_of() {
    case "$1" in
    config_round_trip) echo 16384 ;;
    *) echo 8192 ;;
    esac
}

mkdir -p build/fuzz/artifacts
for target in "${targets[@]}"; do
    program=build/fuzz/fuzz/${target}_fuzzer
    [ -x "$program" ] || { echo "error: no fuzz target $target" >&2; exit 2; }
    # New inputs go to the first folder; the committed seeds are only read.
    work=build/fuzz/corpus/$target
    log=build/fuzz/$target.log
    mkdir -p "$work"
    echo "Fuzzing $target for $seconds s (log: $log)"
    status=0
    "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len="$(max_len_of "$target")" -dict=fuzz/tolvar.dict -print_final_stats=1 \
        -artifact_prefix="build/fuzz/artifacts/$target-" "$work" "fuzz/corpus/$target" \
        >"$log" 2>&1 || status=$?
    grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|^stat::(number_of_executed_units|peak_rss_mb)' "$log" || true
    if [ "$status" -ne 0 ]; then
        echo "error: $target failed (exit $status):" >&2
        grep -E -A30 'ERROR|fuzz check failed|runtime error' "$log" | head -60 >&2 || tail -40 "$log" >&2
        exit 1
    fi
done

#!/usr/bin/env bash
# Measures the utility as a user meets it, offscreen: the time from starting the program to its
# first shown window, its peak memory, and the CPU time it spends during a full read-back of
# examples/maximal.json (ten devices, every table full) from the simulator on 127.0.0.1.
# Builds the optimised bench preset; each figure is the median of several starts.
#
#   bash scripts/bench-startup.sh [runs]      (default 5)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/sim-port.sh

runs=${1:-5}
bash scripts/install-deps.sh
cmake --preset bench >/dev/null
cmake --build build/bench --target startup_probe tolvar-gateway-sim >/dev/null

probe=build/bench/bench/startup_probe
sim=build/bench/tools/gateway-sim/tolvar-gateway-sim
work=$(mktemp -d)
trap 'kill "$sim_pid" 2>/dev/null || true; rm -rf "$work"' EXIT

# Port 0: the simulator picks a free port on 127.0.0.1 and prints it.
"$sim" --port 0 --config examples/maximal.json >"$work/sim.log" 2>&1 &
sim_pid=$!
port=$(sim_port "$work/sim.log" "$sim_pid")
[ -n "$port" ] || { echo "error: the simulator did not start:" >&2; cat "$work/sim.log" >&2; exit 1; }

figure() { sed -n "s/^$1 //p" "$2"; }
for run in $(seq "$runs"); do
    out=$work/run$run
    started=$(date +%s%N)
    QT_QPA_PLATFORM=offscreen "$probe" "$port" >"$out" 2>"$out.err" ||
        { echo "error: run $run failed:" >&2; cat "$out" "$out.err" >&2; exit 1; }
    shown=$(figure first_window_epoch_ns "$out")
    echo "$(( (shown - started) / 1000 ))" >>"$work/startup_us"
    figure peak_rss_kb "$out" >>"$work/peak_kb"
    figure readback_cpu_ms "$out" >>"$work/cpu_ms"
    figure readback_wall_ms "$out" >>"$work/wall_ms"
    echo "run $run: first window $(( (shown - started) / 1000000 )) ms after start," \
        "peak $(( $(figure peak_rss_kb "$out" | cut -d. -f1) / 1024 )) MB," \
        "read-back $(figure readback_cpu_ms "$out") ms CPU in $(figure readback_wall_ms "$out") ms," \
        "$(figure devices_read "$out") devices, $(figure tags_read "$out") tags"
done

median() { sort -n "$1" | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
report() { # name value unit goal
    local verdict=met
    awk -v v="$2" -v g="$4" 'BEGIN { exit !(v < g) }' || verdict="NOT met"
    printf '%-34s %8.1f %-3s (goal: under %s %s, %s)\n' "$1" "$2" "$3" "$4" "$3" "$verdict"
}
echo
echo "Median of $runs runs (examples/maximal.json):"
report "time to the first shown window" "$(awk -v us="$(median "$work/startup_us")" 'BEGIN { print us / 1000 }')" ms 300
report "peak memory" "$(awk -v kb="$(median "$work/peak_kb")" 'BEGIN { print kb / 1024 }')" MB 80
report "CPU time of the read-back" "$(median "$work/cpu_ms")" ms 200
echo "(the read-back lasts $(median "$work/wall_ms") ms: three requests, a second's wait after each)"

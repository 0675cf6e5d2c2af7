#!/usr/bin/env bash
# Builds the utility and the gateway simulator, serves an example configuration on a free
# loopback port and starts the utility talking to that port. Needs no root.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/sim-port.sh

config=${1:-examples/multi.json}
bash scripts/install-deps.sh
echo "Building (the first build takes a few minutes; later ones are quick)..."
cmake --preset app >/dev/null
cmake --build --preset app

sim=build/app/tools/gateway-sim/tolvar-gateway-sim
utility=build/app/src/app/tolvar-utility
log=build/app/gateway-sim.log
trap 'kill "$sim_pid" 2>/dev/null || true' EXIT

# Port 0: the simulator picks a free port on 127.0.0.1 and prints it.
"$sim" --port 0 --config "$config" >"$log" 2>&1 &
sim_pid=$!
port=$(sim_port "$log" "$sim_pid")
if [ -z "$port" ]; then
    echo "error: the gateway simulator did not start:" >&2
    cat "$log" >&2
    exit 1
fi

echo "Simulator serving $config on 127.0.0.1:$port (what it receives: $log)."
echo "In the utility: press Connect to Tolvar, then Start Connect (the IP box holds 127.0.0.1)."
"$utility" --host 127.0.0.1 --port "$port"

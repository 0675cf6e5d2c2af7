#!/usr/bin/env bash
# Builds the utility and the gateway simulator, serves an example configuration on
# 127.0.0.1:502 and starts the utility. Type 127.0.0.1 in the connection window.
set -euo pipefail
cd "$(dirname "$0")/.."

config=${1:-examples/multi.json}
bash scripts/install-deps.sh
cmake --preset app
cmake --build --preset app

sim=build/app/tools/gateway-sim/tolvar-gateway-sim
utility=build/app/src/app/tolvar-utility

"$sim" --port 502 --config "$config" &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null || true' EXIT
sleep 1
if ! kill -0 "$sim_pid" 2>/dev/null; then
    echo "error: the gateway simulator did not start (see its message above)" >&2
    exit 1
fi

echo "Simulator serving $config on 127.0.0.1:502."
echo "In the utility: Connect to Tolvar, type 127.0.0.1 as IP, Start Connect."
"$utility"

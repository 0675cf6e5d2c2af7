#!/usr/bin/env bash
# Runs the Windows package under Wine, loopback only: the Windows simulator serves
# examples/multi.json, the Windows command line reads it and writes it back, and the simulator's
# saved download must equal the example byte for byte; the Windows command line reads the Linux
# simulator too; the Windows utility opens its window on Xvfb, photographed into
# docs/windows-wine.png.
#
#   scripts/windows-smoke.sh [ZIP]      (default: the zip scripts/windows-package.sh made)
# TOLVAR_LINUX_SIM names a Linux tolvar-gateway-sim; without it build/default's is built.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
. scripts/lib/apt.sh
. scripts/sim-port.sh

fail() { echo "error: $*" >&2; exit 1; }

version=$(sed -n 's/^project([^)]* VERSION \([0-9][0-9.]*\).*/\1/p' CMakeLists.txt | head -n 1)
zipfile=${1:-build/windows/tolvar-utility-$version-win64.zip}
[ -f "$zipfile" ] || fail "no $zipfile: run scripts/windows-package.sh first"
zipfile=$(cd "$(dirname "$zipfile")" && pwd)/$(basename "$zipfile")

ensure_packages wine64 xvfb xauth imagemagick unzip

linux_sim=${TOLVAR_LINUX_SIM:-}
if [ -z "$linux_sim" ]; then
    linux_sim=$repo/build/default/tools/gateway-sim/tolvar-gateway-sim
    if [ ! -x "$linux_sim" ]; then
        bash scripts/install-deps.sh
        echo "Building the Linux simulator in build/default"
        [ -f build/default/CMakeCache.txt ] || cmake --preset default -B build/default >/dev/null
        nice cmake --build build/default --parallel 2 --target tolvar-gateway-sim >/dev/null ||
            fail "could not build the Linux simulator in build/default"
    fi
fi
[ -x "$linux_sim" ] || fail "no Linux simulator at $linux_sim"

# Only loopback exists in a network namespace of our own, so nothing can reach further.
if [ -z "${TOLVAR_SMOKE_NETNS:-}" ] && unshare -rn true 2>/dev/null; then
    exec env TOLVAR_SMOKE_NETNS=1 TOLVAR_LINUX_SIM="$linux_sim" \
        unshare -rn -- bash -c 'ip link set lo up && exec bash "$0" "$@"' "$0" "$zipfile"
fi

work=$(mktemp -d /tmp/tolvar-windows-smoke.XXXXXX)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    WINEPREFIX=$work/wine timeout 20 wineserver -k 2>/dev/null || true
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

passed=0
failed=0
check() { # check NAME COMMAND...: runs the command and counts it
    if "${@:2}"; then
        echo "ok    $1"
        passed=$((passed + 1))
    else
        echo "FAIL  $1"
        failed=$((failed + 1))
    fi
}

unzip -q "$zipfile" -d "$work" || fail "cannot unzip $zipfile"
app=$(find "$work" -maxdepth 2 -name tolvar-utility.exe -printf '%h\n' | head -n 1)
[ -n "$app" ] || fail "no tolvar-utility.exe in $zipfile"
cp examples/multi.json "$work/multi.json"

export WINEPREFIX=$work/wine WINEDEBUG=-all WINEARCH=win64
# No Mono and no Gecko: the programs need neither, and Wine would offer to download them.
export WINEDLLOVERRIDES="mscoree,mshtml="

# A display of our own for Wine and the utility's window.
Xvfb -displayfd 3 -screen 0 1280x900x24 -br -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=:$(head -n 1 "$work/display")

echo "Preparing a fresh Wine prefix (about a minute)"
start=$(date +%s)
timeout 180 wineboot -i >"$work/wineboot.log" 2>&1 || fail "wineboot failed: $(tail -n 5 "$work/wineboot.log")"
timeout 60 wineserver -w || true
echo "Wine prefix ready in $(( $(date +%s) - start )) s"

cd "$app"
# The Windows simulator, from examples/multi.json, saving what it is sent.
timeout 300 wine ./tolvar-gateway-sim.exe --port 0 --config ../multi.json --save ../saved.json \
    >"$work/sim.log" 2>&1 &
pids+=($!)
sim_pid=$!
port=
for _ in $(seq 6); do # Wine takes a while to start a program; sim_port waits 5 s a try
    port=$(sim_port "$work/sim.log" "$sim_pid")
    [ -n "$port" ] && break
done
[ -n "$port" ] || fail "the Windows simulator did not say its port: $(cat "$work/sim.log")"
echo "Windows simulator on 127.0.0.1:$port"

check "tolvar-cli.exe --version" timeout 60 wine ./tolvar-cli.exe --version
check "tolvar-cli.exe reads the Windows simulator" \
    timeout 60 wine ./tolvar-cli.exe read "127.0.0.1:$port" -o ../read.json
check "what it read equals examples/multi.json" cmp ../read.json "$repo/examples/multi.json"
check "tolvar-cli.exe writes it back" \
    timeout 90 wine ./tolvar-cli.exe write ../read.json "127.0.0.1:$port"
check "the Windows simulator saved examples/multi.json byte for byte" \
    cmp ../saved.json "$repo/examples/multi.json"

# The Windows command line against the Linux simulator.
timeout 120 "$linux_sim" --port 0 --config ../multi.json >"$work/linux-sim.log" 2>&1 &
pids+=($!)
linux_port=$(sim_port "$work/linux-sim.log" $!)
[ -n "$linux_port" ] || fail "the Linux simulator did not start: $(cat "$work/linux-sim.log")"
check "tolvar-cli.exe reads the Linux simulator" \
    timeout 60 wine ./tolvar-cli.exe read "127.0.0.1:$linux_port" -o ../linux-read.json
check "what it read equals examples/multi.json" cmp ../linux-read.json "$repo/examples/multi.json"

# The utility's window, offered the Windows simulator.
timeout 120 wine ./tolvar-utility.exe --host 127.0.0.1 --port "$port" >"$work/utility.log" 2>&1 &
pids+=($!)
utility_pid=$!
shot=$work/shot.png
for _ in $(seq 30); do
    sleep 1
    kill -0 "$utility_pid" 2>/dev/null || break
    # The window is up once something other than the black root window shows.
    import -window root "$shot" 2>/dev/null || continue
    colours=$(convert "$shot" -format '%k' info: 2>/dev/null || echo 1)
    [ "$colours" -gt 16 ] && break
done
check "tolvar-utility.exe is running" kill -0 "$utility_pid"
sleep 3 # let it finish painting
if import -window root "$shot" 2>/dev/null && convert "$shot" -trim +repage "$shot"; then
    cp "$shot" "$repo/docs/windows-wine.png"
    check "the utility's window shows ($(identify -format '%wx%h' "$shot"))" \
        test "$(convert "$shot" -format '%k' info:)" -gt 16
else
    check "screenshot of the utility's window" false
fi

echo "windows smoke: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

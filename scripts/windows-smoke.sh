#!/usr/bin/env bash
# Runs the Windows package under Wine, loopback only: the Windows simulator serves
# examples/multi.json, the Windows command line reads it and writes it back, and the simulator's
# saved download must equal the example byte for byte; the Windows command line reads the Linux
# simulator too; the Windows utility, driven by keyboard on Xvfb, connects, reads the
# configuration back and saves it, and that save must equal the example too. Its windows are
# photographed into docs/windows-wine.png (read back) and docs/windows-wine-saved.png (saved).
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

ensure_packages wine64 xvfb xauth imagemagick unzip xdotool

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
Xvfb -displayfd 3 -screen 0 1280x1024x24 -br -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
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
# windows_sim LOG SAVED: a Windows simulator serving examples/multi.json and saving what it is
# sent into SAVED; sets started_port.
windows_sim() {
    timeout 300 wine ./tolvar-gateway-sim.exe --port 0 --config ../multi.json --save "$2" \
        >"$1" 2>&1 &
    local pid=$!
    pids+=("$pid")
    started_port=
    for _ in $(seq 6); do # Wine takes a while to start a program; sim_port waits 5 s a try
        started_port=$(sim_port "$1" "$pid")
        [ -n "$started_port" ] && return 0
    done
    fail "a Windows simulator did not say its port: $(cat "$1")"
}
windows_sim "$work/sim.log" ../saved.json
port=$started_port
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

# The utility itself, driven like a user through Wine's X11 input: "Connect to Tolvar",
# "Start Connect", then "Save All Setting" once the read-back is in. Each button is reached
# by keyboard: "Connect to Tolvar" has the focus when the main window opens, and the other
# two are last in their window's tab chain, one Shift+Tab before the control that opens
# focused. A simulator of its own keeps this save apart from the command line's.
windows_sim "$work/utility-sim.log" ../utility-saved.json
utility_port=$started_port
timeout 240 wine ./tolvar-utility.exe --host 127.0.0.1 --port "$utility_port" \
    >"$work/utility.log" 2>&1 &
pids+=($!)
utility_pid=$!

window_named() { # window_named PATTERN SECONDS: the id of the first window whose title matches
    local tries=$(($2 * 2)) id
    for _ in $(seq "$tries"); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.5
    done
    return 1
}
log_count() { local n; n=$(grep -c "$2" "$1" 2>/dev/null) || true; echo "${n:-0}"; }
wait_log() { # wait_log FILE PATTERN COUNT SECONDS: until the simulator logged PATTERN COUNT times
    for _ in $(seq $(($4 * 2))); do
        [ "$(log_count "$1" "$2")" -ge "$3" ] && return 0
        sleep 0.5
    done
    return 1
}
press() { # press WINDOW KEY...: gives the window the keyboard and types the keys
    timeout 10 xdotool windowfocus --sync "$1" && sleep 0.5 && xdotool key --delay 200 "${@:2}"
}
photograph() { # photograph WINDOW NAME: that window alone, once painted, into docs/NAME
    local shot=$work/$2
    sleep 2
    import -window "$1" "$shot" 2>/dev/null &&
        [ "$(convert "$shot" -format '%k' info:)" -gt 16 ] && cp "$shot" "$repo/docs/$2"
}
sim_log=$work/utility-sim.log
main=$(window_named '^Tolvar  Utility' 60) || fail "the utility's main window did not show"
check "tolvar-utility.exe is running" kill -0 "$utility_pid"
press "$main" space || fail "could not type into the main window"
connect_set=$(window_named '^Connect to Tolvar Setting$' 20) ||
    fail "\"Connect to Tolvar\" opened no connection window"
press "$connect_set" shift+Tab space || fail "could not type into the connection window"
network=$(window_named '^MappingModules$' 30) || fail "\"Start Connect\" opened no network window"
check "the utility connected and read the gateway (#PD, #GD, #HD answered)" \
    wait_log "$sim_log" '^answered #HD' 1 30
titled_connected() { window_named '^Tolvar  Utility.*127\.0\.0\.1$' 5 >/dev/null; }
check "the main window's title names 127.0.0.1" titled_connected
check "the network window shows what was read" photograph "$network" windows-wine.png
check "no download before \"Save All Setting\"" test ! -e ../utility-saved.json
press "$network" shift+Tab space || fail "could not type into the network window"
# The download, then the verify's second read-back.
check "\"Save All Setting\" reached the simulator and was read back" \
    wait_log "$sim_log" '^answered #HD' 2 60
check "the utility's save equals examples/multi.json byte for byte" \
    cmp ../utility-saved.json "$repo/examples/multi.json"
mapping=$(window_named '^ShowMapping$' 5) || fail "the save showed no mapping window"
check "the mapping window shows the save" photograph "$mapping" windows-wine-saved.png
check "tolvar-utility.exe is still running" kill -0 "$utility_pid"

echo "windows smoke: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

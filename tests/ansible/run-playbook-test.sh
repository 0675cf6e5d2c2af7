#!/usr/bin/env bash
# The example playbook against three simulated gateways on 127.0.0.1, through tolvar-cli:
#   run-playbook-test.sh BUILD_DIR
# 1. check mode before anything is sent: every gateway would change, nothing is written;
# 2. normal mode: every gateway changes and saves exactly examples/small.json;
# 3. check mode with --diff: nothing changes, nothing is written;
# 4. normal mode again: every gateway is ok, changed=0.
# Exits 77 (skipped) only when ansible-playbook is not installed.
set -euo pipefail

build=$(cd "${1:?usage: run-playbook-test.sh BUILD_DIR}" && pwd)
repo=$(cd "$(dirname "$0")/../.." && pwd)
sim=$build/tools/gateway-sim/tolvar-gateway-sim
cli=$build/tools/tolvar-cli/tolvar-cli
source_file=$repo/examples/small.json
playbook=$repo/ansible/examples/configure-gateways.yml
hosts=(sim-1 sim-2 sim-3)

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

if ! command -v ansible-playbook >/dev/null 2>&1; then
    echo "SKIPPED: ansible-playbook is not installed (Debian: apt-get install ansible-core," \
        "or scripts/install-deps.sh)"
    exit 77
fi
[ -x "$sim" ] || fail "no simulator at $sim (build the target tolvar-gateway-sim)"
[ -x "$cli" ] || fail "no command line at $cli (build the target tolvar-cli)"

work=$(mktemp -d)
sim_pid=
cleanup() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 143' TERM INT HUP # through cleanup

# Ansible keeps its temporary files and settings in this run's folder.
export ANSIBLE_CONFIG=$repo/ansible/examples/ansible.cfg
export ANSIBLE_HOME=$work/ansible-home
export ANSIBLE_LOCAL_TEMP=$work/ansible-tmp
export ANSIBLE_REMOTE_TEMP=$work/ansible-tmp
export ANSIBLE_NOCOLOR=1
export ANSIBLE_FORCE_COLOR=0

mkdir "$work/saved"
timeout 500 "$sim" --count 3 --port 0 --save "$work/saved" >"$work/sim.log" 2>&1 &
sim_pid=$!

# Its three "port P" lines, within 5 s.
ports=()
for _ in $(seq 50); do
    mapfile -t ports < <(sed -n 's/^port \([0-9][0-9]*\)$/\1/p' "$work/sim.log")
    [ "${#ports[@]}" -eq 3 ] && break
    kill -0 "$sim_pid" 2>/dev/null || break
    sleep 0.1
done
[ "${#ports[@]}" -eq 3 ] || { cat "$work/sim.log" >&2; fail "the simulator gave no three ports"; }

{
    echo "[gateways]"
    for i in 0 1 2; do
        echo "${hosts[$i]} ansible_host=127.0.0.1 gateway_port=${ports[$i]}" \
            "gateway_config=$source_file"
    done
} >"$work/inventory.ini"

# run_playbook NAME [OPTION...]: runs the playbook, its output in $work/NAME.log.
run_playbook() {
    local name=$1
    shift
    echo "== ansible-playbook $* ($name)"
    if ! timeout 120 ansible-playbook -i "$work/inventory.ini" -e "cli=$cli" "$@" "$playbook" \
        >"$work/$name.log" 2>&1; then
        cat "$work/$name.log" >&2
        echo "-- simulator:" >&2
        cat "$work/sim.log" >&2
        fail "$name: ansible-playbook failed"
    fi
}

# expect_recap NAME CHANGED: every gateway's PLAY RECAP line says ok=1 changed=CHANGED failed=0.
expect_recap() {
    local host
    for host in "${hosts[@]}"; do
        grep -Eq "^$host +: ok=1 +changed=$2 +unreachable=0 +failed=0 " "$work/$1.log" || {
            cat "$work/$1.log" >&2
            fail "$1: $host is not ok=1 changed=$2"
        }
    done
}

# The saved files with their modification times, to see that nothing was written.
saved_state() {
    (cd "$work/saved" && for f in *; do [ -e "$f" ] && stat -c '%n %s %y' "$f"; done; true)
}

run_playbook check-first --check --diff
expect_recap check-first 1
[ -z "$(saved_state)" ] || fail "check mode wrote: $(saved_state)"
[ "$(grep -c '^--- before: gateway 127\.0\.0\.1:' "$work/check-first.log")" -eq 3 ] || {
    cat "$work/check-first.log" >&2
    fail "check-first: no diff for every gateway"
}

run_playbook apply
expect_recap apply 1
for port in "${ports[@]}"; do
    cmp "$source_file" "$work/saved/$port.json" || fail "apply: $port.json differs from the file"
done

before=$(saved_state)
cp -p "$work/saved/"*.json "$work/" # copies, to compare the contents too
run_playbook check-again --check --diff
expect_recap check-again 0
[ "$(saved_state)" = "$before" ] || fail "check mode wrote: $(saved_state)"
for port in "${ports[@]}"; do
    cmp "$work/$port.json" "$work/saved/$port.json" || fail "check-again: $port.json changed"
done

run_playbook apply-again
expect_recap apply-again 0
[ "$(saved_state)" = "$before" ] || fail "apply-again wrote: $(saved_state)"

echo "PASS: the playbook configured three gateways, then found nothing to change"

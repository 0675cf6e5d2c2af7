# Sourced by the scripts that start the simulator with --port 0.
# sim_port LOG PID: waits up to 5 s for the simulator to say which port it took on 127.0.0.1,
# and prints it; prints nothing if it ends or never says.
sim_port() {
    local port=
    for _ in $(seq 50); do
        port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$1")
        [ -n "$port" ] && break
        kill -0 "$2" 2>/dev/null || break
        sleep 0.1
    done
    echo "$port"
}

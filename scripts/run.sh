#!/usr/bin/env bash
# The README's run command: installs what is missing, builds the console and the server,
# starts quorvane-server with the demo seed when nothing listens on the console's server port,
# and starts the console. Arguments go to the console, e.g. a start URL:
#   scripts/run.sh 'quorvane://login/?uid=1024&pw=talmor1024'
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TALMOR_BUILD_DIR:-$root/build}

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "run.sh: no display (DISPLAY is not set): the console is a desktop program; start it from a desktop session, or see scripts/screenshots.sh for a run under Xvfb." >&2
    exit 1
fi

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target talmormanager quorvane-server

console="$build/console/talmormanager"
server="$build/server/quorvane-server"
ini=${TALMOR_CONFIG:-${TALMOR_HOME:-$build/console}/talmormanager.ini}

# The datagram port of [server] in the console's INI (8000 when the file or key is missing).
port=8000
if [[ -f "$ini" ]]; then
    value=$(sed -n '/^\[server\]/,/^\[/{s/^port[[:space:]]*=[[:space:]]*\([0-9]*\).*/\1/p}' "$ini" | head -n 1)
    port=${value:-8000}
fi

server_pid=""
stop_server() {
    if [[ -n "$server_pid" ]]; then
        kill "$server_pid" 2>/dev/null || true
        wait "$server_pid" 2>/dev/null || true
    fi
}
trap stop_server EXIT

if ss -Hlun "sport = :$port" 2>/dev/null | grep -q .; then
    echo "run.sh: a server already listens on UDP port $port; the console uses it"
else
    log=$(mktemp)
    "$server" --seed "$root/server/seed/demo.json" --port "$port" >"$log" 2>&1 &
    server_pid=$!
    for _ in $(seq 1 100); do
        grep -q "quorvane-server ready" "$log" && break
        kill -0 "$server_pid" 2>/dev/null || { cat "$log" >&2; exit 1; }
        sleep 0.1
    done
    echo "run.sh: $(grep -m1 "quorvane-server ready" "$log") (demo seed; operators 1024 and 1025, passwords talmor1024 and talmor1025)"
fi

if [[ $(id -u) -eq 0 ]]; then
    echo "run.sh: running as root: the console leaves its embedded web pages out (the browser engine refuses to run as root with its sandbox); run as a normal user to see them"
fi
"$console" "$@"

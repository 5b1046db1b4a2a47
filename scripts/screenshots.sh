#!/usr/bin/env bash
# Takes the console's screenshots under Xvfb with the openbox window manager into
# docs/screenshots/: the login dialog with the training server's header, the
# agreement of a first login, the logged-in main window of operator 1024 with the demo data of
# a quorvane-server of its own, then the tour of talmor_screentour: a new call's message box,
# the call panes, the status line with the oldest wait, the processing list with its handling
# menu, the family SMS window, the work pane showing back-office pages (the training server's
# call records, SMS log and subscriber form among them), the trainer's live view, the handling
# journal, the three pages of the options sheet, the subscriber search wizard's two pages, a chat
# window with the volume strip of a voice talk (a private PulseAudio gives it sound devices), the
# question before quitting with calls waiting and the console offline; last a video chat between
# two consoles (talmor_videoshot).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TALMOR_BUILD_DIR:-$root/build}
out="$root/docs/screenshots"
size=${SCREEN_SIZE:-1280x800}

if [[ "${1:-}" != "--inside" ]]; then
    "$root/scripts/setup.sh"
    if ! command -v xdotool >/dev/null; then
        echo "screenshots.sh: installing xdotool"
        sudo_cmd=()
        [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
        "${sudo_cmd[@]}" apt-get update -qq
        "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends xdotool >/dev/null
    fi
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" -j "$(nproc)" --target talmormanager quorvane-server talmor_screengrab \
        talmor_screentour talmor_videoshot
    mkdir -p "$out"
    exec xvfb-run -a -s "-screen 0 ${size}x24 -dpi 96" "$0" --inside
fi

# Inside the X server from here on.
work=$(mktemp -d)
pids=()
cleanup() {
    [[ -n "${XDG_RUNTIME_DIR:-}" && "$XDG_RUNTIME_DIR" == "$work"/* ]] && pulseaudio --kill 2>/dev/null
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A window manager frames the windows as on an operator's desktop; the shots take the frames in.
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.1
done

"$build/server/quorvane-server" --seed "$root/server/seed/demo.json" --port 0 --http-port 0 \
    >"$work/server.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do
    grep -q "quorvane-server ready" "$work/server.log" && break
    sleep 0.1
done
read -r udp http < <(sed -n 's/.*ready: udp \([0-9]*\), http \([0-9]*\).*/\1 \2/p' "$work/server.log")

home="$work/home"
mkdir -p "$home"
cat >"$home/talmormanager.ini" <<INI
[server]
primary=127.0.0.1
backup=127.0.0.1
port=$udp
[web]
backoffice=127.0.0.1:$http
public=http://127.0.0.1:$http/site
INI
# The tour talks to loopback only: the socket layer stops a program that tries anything else.
export TALMOR_HOME="$home" TALMOR_MARKS=1 QTWEBENGINE_DISABLE_SANDBOX=1 TALMOR_LOOPBACK_ONLY=1
printf '1024\n1025\n' >"$home/HistoryUser.dat"

# The geometry "x y w h" of the window titled $1 with the frame the window manager gave it: the
# outermost window that holds it, its X border included.
geometry() {
    local id root parent
    id=$(xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1)
    while :; do
        read -r root parent < <(xwininfo -id "$id" -tree | awk '
            /Root window id:/{r=$4} /Parent window id:/{p=$4} END{print r, p}')
        [[ $parent == "$root" ]] && break
        id=$parent
    done
    xwininfo -id "$id" | awk -F: '
        /Absolute upper-left X/{x=$2} /Absolute upper-left Y/{y=$2} /Width/{w=$2} /Height/{h=$2}
        /Border width/{b=$2} END{print x - b, y - b, w + 2 * b, h + 2 * b}'
}

wait_for() { # file, text
    for _ in $(seq 1 300); do
        grep -q "$2" "$1" && return 0
        sleep 0.1
    done
    echo "screenshots.sh: '$2' did not appear" >&2
    cat "$1" >&2
    return 1
}

grab() { # name, x y w h
    "$build/console/talmor_screengrab" "$out/$1.png" "${@:2}"
    echo "screenshots.sh: $out/$1.png"
}

# 1. The login dialog with the remembered accounts and the header page.
"$build/console/talmormanager" >"$work/dialog.log" 2>&1 &
dialog_pid=$!
pids+=($dialog_pid)
wait_for "$work/dialog.log" "login dialog shown"
sleep 4
read -r x y w h < <(geometry "准备登录")
grab login-dialog "$x" "$y" "$w" "$h"
kill "$dialog_pid"
rm -f "$home"/*.lock

# 2. A start-URL login: the agreement of the first login, then the ready main window.
"$build/console/talmormanager" 'quorvane://login/?uid=1024&pw=talmor1024' >"$work/console.log" 2>&1 &
pids+=($!)
wait_for "$work/console.log" "talmormanager: ready"
sleep 3
read -r x y w h < <(geometry "协议")
grab agreement "$x" "$y" "$w" "$h"
xdotool search --onlyvisible --name "^协议\$" windowfocus --sync key --clearmodifiers Return
sleep 4
read -r x y w h < <(geometry "值班员小王")
grab main-window "$x" "$y" "$w" "$h"
console_pid=${pids[-1]}
kill "$console_pid"
wait "$console_pid" 2>/dev/null || true
rm -f "$home"/*.lock

# Sound devices for the tour's voice talk: a private PulseAudio whose null sink and sine source
# are the consoles' loudspeaker and microphone.
if command -v pulseaudio >/dev/null; then
    export XDG_RUNTIME_DIR="$work/pulse"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    pulseaudio -D --exit-idle-time=-1 2>/dev/null
    pactl load-module module-null-sink sink_name=speaker >/dev/null
    pactl load-module module-sine-source source_name=microphone frequency=440 >/dev/null
    pactl set-default-sink speaker
    pactl set-default-source microphone
fi

# 3. The calls: injected through the server's control API and handled in the console.
"$build/console/talmor_screentour" "$http" "$out"

# 4. A video chat between two consoles on the test pattern, with a server of their own.
"$build/tests/media/video/e2e/talmor_videoshot" "$out/chat-video.png"

#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
set -euo pipefail

packages=(
    build-essential cmake clang clang-format libclang-rt-14-dev
    libgtest-dev libgmock-dev libbenchmark-dev libssl-dev
    libsqlite3-dev
    qt6-base-dev qt6-httpserver-dev qt6-websockets-dev
    qt6-webengine-dev qt6-multimedia-dev qt6-svg-dev qt6-translations-l10n
    libbcg729-dev libavcodec-dev libswscale-dev
    fonts-noto-cjk xvfb xauth xdotool x11-utils openbox pulseaudio pulseaudio-utils iproute2 curl
    desktop-file-utils dpkg-dev file dbus-daemon
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

echo "setup: installing ${missing[*]}"
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running Zelmora need.
# Does nothing when they are all present; needs root (or sudo) otherwise.
#   scripts/install-deps.sh [--bench]   --bench: also chromium, for bench/perf.sh and bench/warm-tab.sh
set -euo pipefail

packages=(
    cmake ninja-build clang lld libclang-rt-14-dev pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-webengine-dev libqt6webenginecore6-bin
    qt6-svg-dev libqt6svg6
    libpcre2-dev libcpp-httplib-dev libssl-dev zlib1g-dev libbrotli-dev libbenchmark-dev
    libxss-dev libx11-dev libxcb1-dev
    libwayland-dev wayland-protocols plasma-wayland-protocols qt6-wayland qt6-translations-l10n
    sway mako-notifier dbus libglib2.0-bin
    tinyproxy-bin xvfb xauth fonts-noto-cjk tzdata
    desktop-file-utils dpkg-dev libxml2-utils appstream man-db
)
# The benchmarks compare the program with a browser tab; no test needs one.
if [ "${1:-}" = --bench ]; then packages+=(chromium); fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Builds Zelmora and runs it against the development server with the demo organisation:
# installs what is missing (Debian 12, as root or with sudo), builds zelmora, zelmora-cli and
# groupware-sim, starts groupware-sim on a free loopback port, writes a fresh data folder whose
# Zelmora.ini points at it, and starts `zelmora DATA_FOLDER`. The server stops when zelmora exits.
#
#   scripts/run-demo.sh            # a new data folder under /tmp each time
#   ZELMORA_DEMO_DATA=~/zdemo scripts/run-demo.sh   # keep the data folder between runs
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

build=${ZELMORA_BUILD_DIR:-build}
if [ ! -f "$build/build.ninja" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++
fi
cmake --build "$build" --parallel "$(nproc)" --target zelmora zelmora-cli groupware-sim

data=${ZELMORA_DEMO_DATA:-$(mktemp -d "${TMPDIR:-/tmp}/zelmora-demo.XXXXXX")}
mkdir -p "$data"
sim_out=$(mktemp "${TMPDIR:-/tmp}/groupware-sim.XXXXXX")

"$build/tools/groupware-sim/groupware-sim" --port 0 --data tools/groupware-sim/data/demo.json \
    --log "$data/groupware-sim-requests.log" > "$sim_out" &
sim_pid=$!
cleanup() {
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
    rm -f "$sim_out"
}
trap cleanup EXIT

# The server's first line is "listening on http://127.0.0.1:PORT/scripts/cbag/office.exe".
program_url=""
for _ in $(seq 100); do
    program_url=$(sed -n 's/^listening on //p' "$sim_out" | head -n 1)
    [ -n "$program_url" ] && break
    kill -0 "$sim_pid" 2>/dev/null || { echo "groupware-sim did not start" >&2; exit 1; }
    sleep 0.1
done
[ -n "$program_url" ] || { echo "groupware-sim did not answer" >&2; exit 1; }
server_url=${program_url%office.exe}

# Written by the program's own settings writer. No proxy for the loopback server; the login dialog
# opens on 営業一課 / 山田 太郎 (user 1, password "yamada").
"$build/src/cli/zelmora-cli" --data "$data" settings set \
    "SERVER_URL=$server_url" PROXY_MODE=1 GET_INTERVAL=1 UPDATE_INTERVAL=1 \
    LASTLOGINUSER_GROUP=4 LASTLOGINUSER_NAME=1

echo "groupware-sim: $program_url"
echo "data folder:   $data"
echo "demo login:    山田 太郎 (id 1), password yamada"
"$build/src/app/zelmora" "$data"

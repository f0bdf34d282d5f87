#!/usr/bin/env bash
# Side by side, from one groupware-sim serving one board: a warm headless chromium tab that reloads
# the board every 2 s, and Zelmora refreshing the same board. CPU per reload / refresh for both and
# their ratio. See bench/README.md.
#
#   bench/warm-tab.sh BUILD_DIR [--members N] [--seconds S] [--refreshes N] [--real-clock N] [--changing M] [--stall]
#
# --changing M: also N refreshes of a board on which M members move twice a second (0: all but the user).
# --real-clock N: also N refreshes at Zelmora's own clock, one a minute (N + 3 minutes).
# --stall: no tab; Zelmora only, with the event-loop monitor on: the longest stall over the refreshes.
#
# BUILD_DIR holds zelmora, zelmora-cli and groupware-sim (a RelWithDebInfo or Release build). Needs
# python3 and chromium; without a DISPLAY the script runs itself under xvfb-run.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
usage() {
    sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
}

[ $# -ge 1 ] || usage
build=$(cd "$1" && pwd)
shift
members=1000
seconds=60
refreshes=20
real=0
changing=-1
stall=0
while [ $# -gt 0 ]; do
    case "$1" in
    --members) members=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --refreshes) refreshes=$2; shift 2 ;;
    --real-clock) real=$2; shift 2 ;;
    --changing) changing=$2; shift 2 ;;
    --stall) stall=1; shift ;;
    *) usage ;;
    esac
done

zelmora=$build/src/app/zelmora
cli=$build/src/cli/zelmora-cli
sim=$build/tools/groupware-sim/groupware-sim
for exe in "$zelmora" "$cli" "$sim"; do
    [ -x "$exe" ] || { echo "missing $exe (cmake --build $build --target zelmora zelmora-cli groupware-sim)" >&2; exit 1; }
done
[ "$stall" = 1 ] || command -v chromium > /dev/null || { echo "chromium is not installed (scripts/install-deps.sh --bench)" >&2; exit 1; }

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" --members "$members" --seconds "$seconds" \
        --refreshes "$refreshes" --real-clock "$real" --changing "$changing" \
        $([ "$stall" = 1 ] && echo --stall)
fi

probe() { python3 "$here/perf-probe.py" "$@"; }

work=$(mktemp -d "${TMPDIR:-/tmp}/zelmora-warm-tab.XXXXXX")
sim_pid=""
cleanup() {
    [ -z "${churn_pid:-}" ] || kill "$churn_pid" 2> /dev/null || true
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2> /dev/null || true
        wait "$sim_pid" 2> /dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

python3 "$here/make-organisation.py" "$members" > "$work/organisation.json"
"$sim" --port 0 --data "$work/organisation.json" --log "$work/requests.jsonl" > "$work/sim.out" 2> "$work/sim.err" &
sim_pid=$!
program_url=""
for _ in $(seq 100); do
    program_url=$(sed -n 's/^listening on //p' "$work/sim.out" | head -n 1)
    [ -n "$program_url" ] && break
    sleep 0.1
done
[ -n "$program_url" ] || { echo "groupware-sim did not start: $(cat "$work/sim.err")" >&2; exit 1; }
server_url=${program_url%office.exe}
board_url="$program_url?page=WhereIndex&gid=0"

# Zelmora: automatic login of member 1 and the board of every member (GET_DATA_MODE 0), a refresh
# every 4 timer ticks of 250 ms.
data=$work/zelmora
mkdir -p "$data"
"$cli" --data "$data" settings set "SERVER_URL=$server_url" PROXY_MODE=1 GET_DATA_MODE=0 GET_INTERVAL=1 \
    LASTLOGINUSER_GROUP=1 LASTLOGINUSER_NAME=1 > /dev/null
key="1山田 太郎$(probe logon-name)"
printf '\r\n[1]\r\nAUTO_LOGIN=ON\r\nPASSWORD=%s\r\nEND_ACTION_TYPE=NONE\r\nNOTIFY_MAIL=OFF\r\nNOTIFY_CIRCULAR=OFF\r\nNOTIFY_MEMO=OFF\r\nNOTIFY_NEW_ARTICLE=OFF\r\nNOTIFY_WORKFLOW=OFF\r\nNOTIFY_SCHEDULE=OFF\r\n' \
    "$(probe scramble "$key" yamada)" >> "$data/Zelmora.ini"

# The runs at the program's own clock and on a changing board start from the same fresh data folder.
cp -a "$data" "$work/zelmora-real"
cp -a "$data" "$work/zelmora-changing"

# The development server moves $changing members (0: every member but the user) at each call: twice a
# second, so that every refresh reads a board other than the one before.
churn_pid=""
# shellcheck source=sim-control.sh
. "$here/sim-control.sh"
churn() {
    local port=${program_url#http://127.0.0.1:}
    port=${port%%/*}
    while sleep 0.5; do
        sim_control "$port" "/_sim/churn?user=1&moved=$changing" || true
    done
}

load() { uptime | sed 's/.*load average: //'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (b > 0) printf "%.0f×", a / b; else print "-"}'; }
if [ "$stall" = 1 ]; then
    echo "zelmora: $refreshes refreshes of $members members, event-loop monitor on; load $(load)" >&2
    eval "$(probe refresh-stall "$zelmora" "$data" "$refreshes")"
    echo "longest event-loop stall ${stall_longest_ms} ms over ${stall_refreshes} refreshes of ${stall_members} members;" \
        "Update medians: thread CPU ${stall_update_thread_cpu_ms} ms, wall ${stall_update_wall_ms} ms; load $(load)"
    exit 0
fi
echo "warm tab: ${seconds} s idle, then ${seconds} s reloading every 2 s; load $(load)" >&2
eval "$(probe warm-tab "$board_url" "$seconds" "$work/requests.jsonl")"
echo "zelmora: $refreshes refreshes; load $(load)" >&2
eval "$(probe refresh-cpu "$zelmora" "$data" "$refreshes")"
changing_rows=""
if [ "$changing" -ge 0 ]; then
    moving=$([ "$changing" -gt 0 ] && echo "$changing members" || echo "every member")
    echo "zelmora: $refreshes refreshes, $moving moving twice a second; load $(load)" >&2
    churn & churn_pid=$!
    eval "$(probe refresh-cpu "$zelmora" "$work/zelmora-changing" "$refreshes" | sed 's/^refresh_/changing_/')"
    kill "$churn_pid"; wait "$churn_pid" 2> /dev/null || true; churn_pid=""
    changing_rows="| zelmora, $moving of the board moving twice a second (and a memo, an article and an appointment added), $changing_count refreshes: CPU of its threads per refresh / one Update's process CPU (median) | ${changing_process_cpu_per_refresh_ms} ms / ${changing_update_process_cpu_ms} ms |
| ratio on the changing board: tab CPU per reload / zelmora per refresh, / one Update | $(ratio "$tab_cpu_per_reload_ms" "$changing_process_cpu_per_refresh_ms") / $(ratio "$tab_cpu_per_reload_ms" "$changing_update_process_cpu_ms") |
"
fi
real_rows=""
if [ "$real" -gt 0 ]; then
    echo "zelmora: $real refreshes at its own clock, one a minute; load $(load)" >&2
    eval "$(probe refresh-cpu-real "$zelmora" "$work/zelmora-real" "$real")"
    real_rows="| zelmora at its own clock: CPU of its threads per refresh over $real_count refreshes, one a minute (every timer at its period) | ${real_cpu_per_refresh_ms} ms |
| ratio: tab CPU per reload / zelmora CPU per refresh at its own clock | $(ratio "$tab_cpu_per_reload_ms" "$real_cpu_per_refresh_ms") |
"
fi

cat << EOF

Warm tab against Zelmora — $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, load $(load)
build: $build; board: $members members ($(wc -c < "$work/organisation.json") bytes of organisation)

| measure | figure |
| --- | --- |
| chromium tab, CPU of its processes per reload (idle CPU taken off), $tab_reloads reloads in ${tab_seconds%.*} s | ${tab_cpu_per_reload_ms} ms |
| chromium tab: CPU over the reloading phase / over the same time idle | ${tab_busy_cpu_s} s / ${tab_idle_cpu_s} s |
| zelmora, CPU of its threads per refresh over $refresh_count refreshes (timers included, window closed) | ${refresh_process_cpu_per_refresh_ms} ms |
| zelmora, one Update ($refresh_members members): process CPU / thread CPU / wall, medians | ${refresh_update_process_cpu_ms} ms / ${refresh_update_thread_cpu_ms} ms / ${refresh_update_wall_ms} ms |
| ratio: tab CPU per reload / zelmora process CPU per refresh | $(ratio "$tab_cpu_per_reload_ms" "$refresh_process_cpu_per_refresh_ms") |
| ratio: tab CPU per reload / one Update's process CPU | $(ratio "$tab_cpu_per_reload_ms" "$refresh_update_process_cpu_ms") |
${changing_rows}${real_rows}
chromium: $(chromium --version 2> /dev/null | head -n 1)
EOF

#!/usr/bin/env bash
# Long run of the resident program: zelmora against groupware-sim with the demo organisation, both
# clocks at their fastest (GET_INTERVAL=0 and UPDATE_INTERVAL=0: a board read and a registration
# pass on every 15-second tick, real time), while the server's data keeps changing (other members'
# whereabouts, new mail, memos, articles and appointments every 15 seconds) so that the grid, the
# menus and the notice window are rebuilt again and again. Resident memory is sampled from /proc
# every minute; the program's support log (zelmora.diag) gives its menu items, actions, windows
# and objects. Builds nothing: give it a build folder with zelmora, groupware-sim and
# zelmora-autologin-data.
#
#   bench/longrun.sh BUILD_DIR [MINUTES]      # default 10 minutes, at least 2
#   LONGRUN_XVFB=1 bench/longrun.sh build     # under xvfb-run instead of the offscreen platform
#   LONGRUN_KEEP=1 ...                        # keep the work folder (logs, data folder)
#
# Prints a table and exits 1 when, from the first minute to the last, resident memory grew by
# 2 MB or more, or the menu items, actions or windows grew at all.
set -euo pipefail

if [ $# -lt 1 ]; then
    echo "usage: $0 BUILD_DIR [MINUTES]" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
minutes=${2:-10}
if ! [[ $minutes =~ ^[0-9]+$ ]] || [ "$minutes" -lt 2 ]; then
    echo "MINUTES must be a whole number of at least 2" >&2
    exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
sim=$build/tools/groupware-sim/groupware-sim
zelmora=$build/src/app/zelmora
prepare=$build/bench/zelmora-autologin-data
for program in "$sim" "$zelmora" "$prepare"; do
    [ -x "$program" ] || { echo "missing $program (build it first)" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/zelmora-longrun.XXXXXX")
sim_pid=""
app_pid=""
cleanup() {
    for pid in $app_pid $sim_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    if [ -n "${LONGRUN_KEEP:-}" ]; then
        echo "work folder kept: $work"
    else
        rm -rf "$work"
    fi
}
trap cleanup EXIT

"$sim" --port 0 --data "$root/tools/groupware-sim/data/demo.json" --log "$work/requests.log" > "$work/sim.out" 2>&1 &
sim_pid=$!
program_url=""
for _ in $(seq 100); do
    program_url=$(sed -n 's/^listening on //p' "$work/sim.out" | head -n 1)
    [ -n "$program_url" ] && break
    kill -0 "$sim_pid" 2>/dev/null || { echo "groupware-sim did not start" >&2; exit 1; }
    sleep 0.1
done
[ -n "$program_url" ] || { echo "groupware-sim did not answer" >&2; exit 1; }
port=$(echo "$program_url" | sed -n 's|^http://127.0.0.1:\([0-9]*\)/.*|\1|p')

# shellcheck source=sim-control.sh
. "$root/bench/sim-control.sh"

# 山田 太郎 (user 1 of the demo, group 4) logs in by himself. Schedule alarms off: an alarm window
# stays until a person closes it, and would count as growth.
"$prepare" "$work/data" "${program_url%office.exe}" 1 "山田 太郎" 4 yamada \
    GET_INTERVAL=0 UPDATE_INTERVAL=0 TIMEOUT=10 user:NOTIFY_SCHEDULE=OFF

export QT_LOGGING_RULES="zelmora.diag=true"
if [ -n "${LONGRUN_XVFB:-}" ]; then
    xvfb-run -a "$zelmora" "$work/data" > "$work/zelmora.log" 2>&1 &
    launcher=$!
    for _ in $(seq 100); do
        app_pid=$(pgrep -P "$launcher" -x zelmora || true)
        [ -n "$app_pid" ] && break
        sleep 0.1
    done
    [ -n "$app_pid" ] || { echo "zelmora did not start under xvfb-run" >&2; exit 1; }
else
    QT_QPA_PLATFORM=offscreen "$zelmora" "$work/data" > "$work/zelmora.log" 2>&1 &
    app_pid=$!
fi

rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$app_pid/status" 2>/dev/null || echo -1; }
# Latest support line of the program, as "menu_actions actions top_level objects".
counts() {
    grep 'zelmora.diag: resources' "$work/zelmora.log" | tail -n 1 |
        sed -n 's/.*menu_actions=\([0-9]*\) actions=\([0-9]*\) top_level=\([0-9]*\) visible=[0-9]* objects=\([0-9]*\).*/\1 \2 \3 \4/p'
}

echo "groupware-sim: $program_url; zelmora pid $app_pid; $minutes minutes"
table="$work/table"
printf '%6s %10s %12s %8s %9s %8s\n' minute rss_kb menu_actions actions top_level objects > "$table"
for minute in $(seq 0 "$minutes"); do
    if [ "$minute" -gt 0 ]; then
        # Four changes of the server's data per minute, one per tick of the program's clocks.
        for _ in 1 2 3 4; do
            sleep 15
            kill -0 "$app_pid" 2>/dev/null || { echo "zelmora ended early:" >&2; tail -n 20 "$work/zelmora.log" >&2; exit 1; }
            sim_control "$port" "/_sim/churn?user=1"
        done
    else
        sleep 5
    fi
    read -r menu actions top objects <<< "$(counts)" || true
    printf '%6d %10s %12s %8s %9s %8s\n' "$minute" "$(rss_kb)" "${menu:--}" "${actions:--}" "${top:--}" \
        "${objects:--}" | tee -a "$table"
done

kill -TERM "$app_pid"
for _ in $(seq 200); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
done
app_pid=""

echo
cat "$table"
# What the program asked of the server: proof that it kept refreshing.
board_reads=$(grep -c '"kind":"WhereIndex"' "$work/requests.log" || true)
top_pages=$(grep -c '"kind":"toppage"' "$work/requests.log" || true)
own_entry=$(grep -c '"kind":"WhereEntry"' "$work/requests.log" || true)
echo
echo "requests: $board_reads board reads, $top_pages top pages, $own_entry entry pages"
loglines=$(grep -c . "$work/zelmora.log" || true)
# Minute 1 against the last minute; minute 0 is the start-up.
first=$(awk 'NR == 3' "$table")
last=$(tail -n 1 "$table")
read -r _ rss1 menu1 actions1 top1 _ <<< "$first"
read -r _ rssN menuN actionsN topN _ <<< "$last"
growth=$((rssN - rss1))
status=0
echo
echo "resident memory from minute 1 to minute $minutes: ${growth} kB (limit: under 2048 kB)"
if [ "$growth" -ge 2048 ]; then
    echo "FAIL: resident memory grew by ${growth} kB" >&2
    status=1
fi
for pair in "menu items:$menu1:$menuN" "actions:$actions1:$actionsN" "top-level windows:$top1:$topN"; do
    IFS=: read -r name before after <<< "$pair"
    if [ "$before" = "-" ] || [ "$after" = "-" ]; then
        echo "FAIL: no support line of the program for $name ($loglines log lines)" >&2
        status=1
    elif [ "$after" -gt "$before" ]; then
        echo "FAIL: $name grew from $before to $after" >&2
        status=1
    fi
done
[ "$status" -eq 0 ] && echo "PASS"
exit "$status"

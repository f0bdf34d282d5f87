#!/usr/bin/env bash
# Performance figures of the real program on this machine: start-up, one status refresh of a
# 1,000-member board, resident memory before and after the web engine, CPU at rest, and headless
# chromium loading the same board page from the same server. See bench/README.md.
#
#   bench/perf.sh BUILD_DIR [--members N] [--runs N] [--idle-seconds S] [--refreshes N] [--no-tray]
#
# BUILD_DIR holds zelmora, zelmora-cli and groupware-sim (a RelWithDebInfo or Release build).
# Without a DISPLAY the script runs itself under xvfb-run. A tray (trayer, XEmbed) is started when
# installed, unless --no-tray. Needs python3; chromium for the comparison (skipped when missing).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
usage() {
    sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
}

[ $# -ge 1 ] || usage
build=$(cd "$1" && pwd)
shift
members=1000
runs=5
idle_seconds=300
refreshes=10
use_tray=1
while [ $# -gt 0 ]; do
    case "$1" in
    --members) members=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --idle-seconds) idle_seconds=$2; shift 2 ;;
    --refreshes) refreshes=$2; shift 2 ;;
    --no-tray) use_tray=0; shift ;;
    *) usage ;;
    esac
done

zelmora=$build/src/app/zelmora
cli=$build/src/cli/zelmora-cli
sim=$build/tools/groupware-sim/groupware-sim
for exe in "$zelmora" "$cli" "$sim"; do
    [ -x "$exe" ] || { echo "missing $exe (cmake --build $build --target zelmora zelmora-cli groupware-sim)" >&2; exit 1; }
done

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" --members "$members" --runs "$runs" \
        --idle-seconds "$idle_seconds" --refreshes "$refreshes" $([ "$use_tray" = 1 ] || echo --no-tray)
fi

probe() { python3 "$here/perf-probe.py" "$@"; }

work=$(mktemp -d "${TMPDIR:-/tmp}/zelmora-perf.XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

tray="none"
if [ "$use_tray" = 1 ] && command -v trayer > /dev/null; then
    trayer --edge top --align right --widthtype request --height 24 > "$work/trayer.log" 2>&1 &
    pids+=($!)
    tray="trayer (XEmbed)"
    sleep 1
fi

# The organisation and the server.
python3 "$here/make-organisation.py" "$members" > "$work/organisation.json"
"$sim" --port 0 --data "$work/organisation.json" > "$work/sim.out" 2> "$work/sim.err" &
pids+=($!)
program_url=""
for _ in $(seq 100); do
    program_url=$(sed -n 's/^listening on //p' "$work/sim.out" | head -n 1)
    [ -n "$program_url" ] && break
    sleep 0.1
done
[ -n "$program_url" ] || { echo "groupware-sim did not start: $(cat "$work/sim.err")" >&2; exit 1; }
server_url=${program_url%office.exe}
board_query="?page=WhereIndex&gid=0"

# A data folder with automatic login of member 1 (山田 太郎) and the board of every member
# (GET_DATA_MODE 0). The intervals are the program's defaults unless a run sets them.
make_data() { # folder GET_INTERVAL
    local folder=$1
    mkdir -p "$folder"
    "$cli" --data "$folder" settings set "SERVER_URL=$server_url" PROXY_MODE=1 GET_DATA_MODE=0 \
        "GET_INTERVAL=$2" LASTLOGINUSER_GROUP=1 LASTLOGINUSER_NAME=1 > /dev/null
    local key password
    key="1山田 太郎$(probe logon-name)"
    password=$(probe scramble "$key" yamada)
    printf '\r\n[1]\r\nAUTO_LOGIN=ON\r\nPASSWORD=%s\r\nEND_ACTION_TYPE=NONE\r\nNOTIFY_MAIL=OFF\r\nNOTIFY_CIRCULAR=OFF\r\nNOTIFY_MEMO=OFF\r\nNOTIFY_NEW_ARTICLE=OFF\r\nNOTIFY_WORKFLOW=OFF\r\nNOTIFY_SCHEDULE=OFF\r\n' \
        "$password" >> "$folder/Zelmora.ini"
}

load() { uptime | sed 's/.*load average: //'; }
echo "machine: $(nproc) cores, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n 1), load $(load)" >&2

# 1. Start-up: the first run fetches the directory from the server; the others read UserData.dat.
make_data "$work/startup" 5
startup_times=()
startup_cpu=()
for i in $(seq 0 "$runs"); do
    eval "$(probe startup "$zelmora" "$work/startup")"
    if [ "$i" = 0 ]; then
        first_startup_s=$startup_s
    else
        startup_times+=("$startup_s")
        startup_cpu+=("$startup_cpu_s")
    fi
    echo "start-up run $i: ${startup_s} s (CPU ${startup_cpu_s} s), tray icon shown: $tray_shown at ${tray_s} s" >&2
done
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
startup_median=$(median "${startup_times[@]}")
startup_cpu_median=$(median "${startup_cpu[@]}")

# 2. Status refreshes of the whole board, timers fast (GET_INTERVAL 1: one every 4 ticks).
make_data "$work/update" 1
eval "$(probe update "$zelmora" "$work/update" "$refreshes")"
echo "refresh: $update_members members, load $(load)" >&2

# 3 and 4. At rest with the default intervals, then the same board page in the browser window.
make_data "$work/resident" 5
echo "resident run: ${idle_seconds} s at rest ..." >&2
eval "$(probe resident "$zelmora" "$work/resident" "$idle_seconds" "$board_query")"

# 5. Headless chromium, the same page from the same server (the board needs no login).
chromium_ok=no
if command -v chromium > /dev/null; then
    export PERF_CHROMIUM_PROFILE=$work/chromium-profile
    eval "$(probe chromium "$program_url$board_query" "$runs")"
    chromium_ok=yes
    chromium_version=$(chromium --version 2> /dev/null | head -n 1)
fi

mb() { awk -v k="$1" 'BEGIN {printf "%.1f MB", k / 1024}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (b > 0) printf "%.1f×", a / b; else print "-"}'; }
verdict() { awk -v v="$1" -v t="$2" 'BEGIN {print (v <= t) ? "met" : "MISSED"}'; }

idle_total_pss=$idle_pss_kb
page_total_pss=$((page_pss_kb + page_children_pss_kb))
cat << EOF

Zelmora performance — $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, load $(load)
build: $build
display: ${DISPLAY} (Xvfb), tray: $tray; organisation: $members members

| measure | figure | target |
| --- | --- | --- |
| start-up to "start-up complete", median of $runs (UserData.dat cached) | ${startup_median} s (CPU ${startup_cpu_median} s) | |
| first start-up (directory fetched from the server) | ${first_startup_s} s | |
| start-up to tray icon shown (last run) | $( [ "$tray_s" != -1 ] && echo "${tray_s} s" || echo "no tray") | |
| one Update, $update_members members, median of $update_count: thread CPU | ${update_thread_cpu_ms} ms (min ${update_thread_cpu_min_ms} ms) | |
| one Update: process CPU / wall (with the server's answers) | ${update_process_cpu_ms} ms / ${update_wall_ms} ms | |
| resident at rest, web engine not loaded: VmRSS / PSS | $(mb "$idle_rss_kb") / $(mb "$idle_pss_kb") | ≤ 60 MB: $(verdict "$idle_rss_kb" 61440) |
| web engine library mapped at rest / child processes | $idle_webengine_mapped / $idle_children | |
| CPU at rest over ${idle_seconds%.*} s ($idle_refreshes refreshes) | ${idle_cpu_percent} % (${idle_cpu_s} s) | < 0.5 %: $(verdict "$idle_cpu_percent" 0.4999) |
| board page in the browser window: load time | ${page_load_s} s | |
| after the page: zelmora VmRSS / PSS | $(mb "$page_rss_kb") / $(mb "$page_pss_kb") | |
| after the page: $page_children web engine processes, RSS sum / PSS sum | $(mb "$page_children_rss_kb") / $(mb "$page_children_pss_kb") | |
| after the page: whole program, PSS | $(mb "$page_total_pss") | |
EOF
if [ "$chromium_ok" = yes ]; then
    cat << EOF
| chromium --headless --dump-dom of the board ($chromium_dom_rows rows), median wall | ${chromium_dump_s} s | |
| chromium --dump-dom: peak RSS sum / PSS sum of its processes | $(mb "$chromium_dump_peak_rss_kb") / $(mb "$chromium_dump_peak_pss_kb") | |
| chromium --screenshot of the board, median wall | ${chromium_shot_s} s | |
| chromium --screenshot: peak RSS sum / PSS sum | $(mb "$chromium_shot_peak_rss_kb") / $(mb "$chromium_shot_peak_pss_kb") | |
| ratio: chromium --dump-dom wall / the browser window's load of the page | $(ratio "$chromium_dump_s" "$page_load_s") | |
| ratio: chromium --dump-dom peak PSS / whole program's PSS after the page | $(ratio "$chromium_dump_peak_pss_kb" "$page_total_pss") | |
| ratio: chromium --dump-dom wall / one Update wall | $(ratio "$(awk -v s="$chromium_dump_s" 'BEGIN {print s * 1000}')" "$update_wall_ms") | |
| ratio: chromium --dump-dom peak PSS / zelmora PSS at rest | $(ratio "$chromium_dump_peak_pss_kb" "$idle_total_pss") | |
| ratio: chromium --dump-dom peak RSS / zelmora RSS at rest | $(ratio "$chromium_dump_peak_rss_kb" "$idle_rss_kb") | |

chromium: ${chromium_version}
EOF
else
    echo "chromium not installed: no comparison (apt-get install chromium)"
fi

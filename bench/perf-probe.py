#!/usr/bin/env python3
"""Measuring helper of bench/perf.sh: runs zelmora or chromium and reads /proc.

    perf-probe.py scramble KEY TEXT          the stored form of a password (settings file)
    perf-probe.py startup  EXE DATA          start-up until "start-up complete" / "tray icon shown"
    perf-probe.py update   EXE DATA COUNT    COUNT status refreshes with fast timers: their CPU times
    perf-probe.py resident EXE DATA IDLE_S PAGE_QUERY
                                             memory at rest, CPU over IDLE_S seconds, then memory after
                                             PAGE_QUERY was opened in the program's browser window
    perf-probe.py chromium URL RUNS          headless chromium loading URL: wall time and peak memory
    perf-probe.py warm-tab URL SECONDS LOG   a warm headless chromium tab reloading URL every 2 s: CPU of
                                             its processes per reload, less the same tab's idle CPU; LOG
                                             is the server's request log, which counts the reloads
    perf-probe.py refresh-cpu EXE DATA COUNT COUNT status refreshes with fast timers: the process's CPU
                                             per refresh over the run, and the Update lines' own figures
    perf-probe.py refresh-stall EXE DATA COUNT  the same with the event-loop monitor on: the longest
                                             stall over COUNT refreshes after the first
    perf-probe.py refresh-cpu-real EXE DATA COUNT  COUNT refreshes at the program's own clock (one a
                                             minute with GET_INTERVAL 1): the CPU of all its threads
                                             per refresh, every timer at its own period

Results are printed as shell assignments (name=value), one a line; notes go to standard error.
"""
import hashlib
import os
import pwd
import queue
import re
import signal
import statistics
import subprocess
import sys
import threading
import time

CLK_TCK = os.sysconf("SC_CLK_TCK")


def note(text):
    print("perf-probe: " + text, file=sys.stderr, flush=True)


def out(name, value):
    if isinstance(value, float):
        value = "%.2f" % value
    print("%s=%s" % (name, value), flush=True)


# --- /proc ---------------------------------------------------------------------------------------

def read_file(path):
    try:
        with open(path, "rb") as f:
            return f.read().decode("latin-1")
    except OSError:
        return ""


def status_kb(pid, field):
    m = re.search(r"^%s:\s+(\d+) kB" % field, read_file("/proc/%d/status" % pid), re.M)
    return int(m.group(1)) if m else 0


def pss_kb(pid):
    m = re.search(r"^Pss:\s+(\d+) kB", read_file("/proc/%d/smaps_rollup" % pid), re.M)
    return int(m.group(1)) if m else 0


def cpu_ticks(pid):
    text = read_file("/proc/%d/stat" % pid)
    if not text:
        return 0
    fields = text[text.rindex(")") + 2:].split()
    return int(fields[11]) + int(fields[12])  # utime, stime


def thread_times(pid):
    """On-CPU time of each of the process's threads (schedstat), in nanoseconds."""
    times = {}
    for task in os.listdir("/proc/%d/task" % pid):
        text = read_file("/proc/%d/task/%s/schedstat" % (pid, task))
        if text:
            times[task] = int(text.split()[0])
    return times


class ThreadClock:
    """On-CPU time of a process's threads from one reading to the next, summed. A thread that ended
    between two readings (a pool thread of a host lookup ends after 30 s idle) keeps what it had at the
    last reading; reading often loses little."""

    def __init__(self, pid):
        self.pid = pid
        self.last = thread_times(pid)
        self.total = 0

    def read(self):
        now = thread_times(self.pid)
        self.total += sum(ns - self.last.get(task, 0) for task, ns in now.items())
        self.last = now
        return self.total


def children_of(pid):
    """Every descendant of pid."""
    parents = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            text = read_file("/proc/%s/stat" % entry)
            if text:
                parents[int(entry)] = int(text[text.rindex(")") + 2:].split()[1])
    found, frontier = [], [pid]
    while frontier:
        p = frontier.pop()
        kids = [c for c, parent in parents.items() if parent == p]
        found += kids
        frontier += kids
    return found


def maps_contain(pid, name):
    return name in read_file("/proc/%d/maps" % pid)


# --- zelmora -------------------------------------------------------------------------------------

class Program:
    """zelmora with its support log read line by line, each line stamped on arrival."""

    def __init__(self, exe, data, extra_env=None):
        env = dict(os.environ)
        # The lines measured, without the event-loop stall monitor, whose probe would wake the
        # program 50 times a second; it runs only when its category is on.
        env["QT_LOGGING_RULES"] = "zelmora.*=true;zelmora.eventloop=false"
        env["QTWEBENGINE_DISABLE_SANDBOX"] = "1"
        env.update(extra_env or {})
        self.lines = queue.Queue()
        self.log = []
        self.t0 = time.monotonic()
        self.proc = subprocess.Popen([exe, data], env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                     stdin=subprocess.DEVNULL)
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for raw in self.proc.stdout:
            self.lines.put((time.monotonic() - self.t0, raw.decode("utf-8", "replace").rstrip("\n")))
        self.lines.put(None)

    def wait_for(self, pattern, timeout):
        """Seconds from exec to the first new line matching pattern, and the match; None on time-out."""
        deadline = time.monotonic() + timeout
        rx = re.compile(pattern)
        while True:
            left = deadline - time.monotonic()
            if left <= 0:
                return None
            try:
                item = self.lines.get(timeout=left)
            except queue.Empty:
                return None
            if item is None:
                note("zelmora ended (status %s); its log:\n%s" % (self.proc.wait(), "\n".join(line for _, line in self.log[-40:])))
                return None
            self.log.append(item)
            m = rx.search(item[1])
            if m:
                return item[0], m

    def drain(self):
        """Moves the lines that arrived so far to the log."""
        while True:
            try:
                item = self.lines.get_nowait()
            except queue.Empty:
                return
            if item is None:
                self.lines.put(None)
                return
            self.log.append(item)

    def seen(self, pattern):
        """Seconds from exec to the first logged line matching pattern, or None."""
        self.drain()
        rx = re.compile(pattern)
        return next((t for t, line in self.log if rx.search(line)), None)

    def count(self, pattern, start, end):
        self.drain()
        rx = re.compile(pattern)
        return sum(1 for t, line in self.log if start <= t <= end and rx.search(line))

    def now(self):
        return time.monotonic() - self.t0

    def stop(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(20)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()


def cmd_startup(exe, data):
    program = Program(exe, data)
    done = program.wait_for(r"start-up complete", 120)
    if not done:
        program.stop()
        sys.exit("zelmora did not complete its start-up")
    out("startup_s", done[0])
    out("startup_cpu_s", cpu_ticks(program.proc.pid) / CLK_TCK)
    # The tray icon is put in place before the status window loads, so its line comes first when a
    # tray exists; without one the icon is retried for a minute before the status window stands in.
    tray = program.seen(r"tray icon shown")
    out("tray_shown", "yes" if tray is not None else "no")
    out("tray_s", tray if tray is not None else -1)
    program.stop()


def refreshes(program, count, timeout=60):
    """Yields (members, wall, thread CPU, process CPU ms) of the next `count` successful status refreshes."""
    rx = r"Update: (\d+) members, wall ([\d.]+) ms, thread CPU ([\d.]+) ms, process CPU ([\d.]+) ms(.*)"
    seen = 0
    while seen < count:
        got = program.wait_for(rx, timeout)
        if not got:
            program.stop()
            sys.exit("no status refresh was logged")
        m = got[1]
        if m.group(5):
            note("a refresh failed: " + m.group(0))
            continue
        seen += 1
        yield (int(m.group(1)), float(m.group(2)), float(m.group(3)), float(m.group(4)))


# The refreshes are measured as the program runs by default, its support log off but for the one
# line of each refresh's figures: the support log's other lines cost CPU of their own (a line per
# request, a sample of the memory held after every refresh).
REFRESH_ENV = {"ZELMORA_TEST_TICK_MS": "250", "QT_LOGGING_RULES": "zelmora.perf=true"}


def cmd_update(exe, data, count):
    # Every timer tick counts as 15 s: with GET_INTERVAL 1 a refresh every 4 ticks.
    program = Program(exe, data, REFRESH_ENV)
    samples = list(refreshes(program, count))
    program.stop()
    note("refreshes (members, wall, thread CPU, process CPU ms): %s" % samples)
    out("update_members", samples[-1][0])
    out("update_count", len(samples))
    out("update_wall_ms", statistics.median(s[1] for s in samples))
    out("update_thread_cpu_ms", statistics.median(s[2] for s in samples))
    out("update_process_cpu_ms", statistics.median(s[3] for s in samples))
    out("update_thread_cpu_min_ms", min(s[2] for s in samples))


def memory_of(pid):
    kids = children_of(pid)
    return {
        "rss": status_kb(pid, "VmRSS"),
        "hwm": status_kb(pid, "VmHWM"),
        "pss": pss_kb(pid),
        "kids": len(kids),
        "kids_rss": sum(status_kb(k, "VmRSS") for k in kids),
        "kids_pss": sum(pss_kb(k) for k in kids),
    }


def cmd_resident(exe, data, idle_s, page_query):
    settle = 15
    # The page opens once the idle measure is over.
    open_after_ms = int((settle + idle_s + 3) * 1000)
    program = Program(exe, data, {"ZELMORA_TEST_OPEN_PAGE": page_query,
                                  "ZELMORA_TEST_OPEN_PAGE_AFTER_MS": str(open_after_ms)})
    started = program.wait_for(r"start-up complete", 120)
    if not started:
        program.stop()
        sys.exit("zelmora did not complete its start-up")
    pid = program.proc.pid
    time.sleep(settle)
    m = memory_of(pid)
    out("idle_rss_kb", m["rss"])
    out("idle_pss_kb", m["pss"])
    out("idle_children", m["kids"])
    out("idle_webengine_mapped", "yes" if maps_contain(pid, "libQt6WebEngineCore") else "no")

    t0, c0 = program.now(), cpu_ticks(pid)
    time.sleep(idle_s)
    t1, c1 = program.now(), cpu_ticks(pid)
    out("idle_seconds", t1 - t0)
    # Board reads of the board-read clock (GET_INTERVAL) fall into the measure, as they would at rest.
    out("idle_refreshes", program.count(r"Update: ", t0, t1))
    out("idle_cpu_percent", 100.0 * (c1 - c0) / CLK_TCK / (t1 - t0))
    out("idle_cpu_s", (c1 - c0) / CLK_TCK)
    m = memory_of(pid)
    out("idle_end_rss_kb", m["rss"])

    # The login post, then the page; both are logged when loaded.
    opened = program.wait_for(r"browser GET", 60)
    if not opened:
        program.stop()
        sys.exit("the page was not opened")
    loaded = program.wait_for(r"browser page (loaded|failed)", 60)
    if not loaded or loaded[1].group(1) != "loaded":
        program.stop()
        sys.exit("the page did not load")
    out("page_load_s", loaded[0] - opened[0])
    time.sleep(5)
    m = memory_of(pid)
    out("page_rss_kb", m["rss"])
    out("page_pss_kb", m["pss"])
    out("page_children", m["kids"])
    out("page_children_rss_kb", m["kids_rss"])
    out("page_children_pss_kb", m["kids_pss"])
    program.stop()


# --- chromium ------------------------------------------------------------------------------------

def tree_memory(pid):
    pids = [pid] + children_of(pid)
    return sum(status_kb(p, "VmRSS") for p in pids), sum(pss_kb(p) for p in pids)


def chromium_run(args):
    """Wall time and peak RSS / PSS sums of the process tree, sampled every 20 ms."""
    start = time.monotonic()
    proc = subprocess.Popen(args, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
    peak_rss = peak_pss = 0
    output = []
    threading.Thread(target=lambda: output.append(proc.stdout.read()), daemon=True).start()
    sample = 0
    while proc.poll() is None:
        rss, pss = tree_memory(proc.pid) if sample % 5 == 0 else (tree_memory_rss(proc.pid), 0)
        peak_rss = max(peak_rss, rss)
        peak_pss = max(peak_pss, pss)
        sample += 1
        time.sleep(0.02)
    wall = time.monotonic() - start
    time.sleep(0.1)
    return wall, peak_rss, peak_pss, (output[0] if output else b"")


def tree_memory_rss(pid):
    return sum(status_kb(p, "VmRSS") for p in [pid] + children_of(pid))


def cmd_chromium(url, runs):
    exe = "chromium"
    base = [exe, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--user-data-dir=%s" %
            os.environ.get("PERF_CHROMIUM_PROFILE", "/tmp/perf-chromium-profile")]
    dumps, shots = [], []
    for i in range(runs):
        dumps.append(chromium_run(base + ["--dump-dom", url]))
        shot = os.path.join(os.environ.get("TMPDIR", "/tmp"), "perf-chromium-board.png")
        shots.append(chromium_run(base + ["--window-size=1280,1024", "--screenshot=" + shot, url]))
    rows = dumps[-1][3].count(b"<tr")
    note("chromium --dump-dom runs (wall s, peak RSS kB, peak PSS kB): %s" % [d[:3] for d in dumps])
    note("chromium --screenshot runs: %s" % [s[:3] for s in shots])
    out("chromium_dom_rows", rows)
    out("chromium_dump_s", statistics.median(d[0] for d in dumps))
    out("chromium_dump_peak_rss_kb", max(d[1] for d in dumps))
    out("chromium_dump_peak_pss_kb", max(d[2] for d in dumps))
    out("chromium_shot_s", statistics.median(s[0] for s in shots))
    out("chromium_shot_peak_rss_kb", max(s[1] for s in shots))
    out("chromium_shot_peak_pss_kb", max(s[2] for s in shots))


# --- a warm browser tab ---------------------------------------------------------------------------

TAB_PAGE = """<!doctype html><html><body>
<iframe id="board" src="%(url)s" style="width:1260px;height:980px;border:0"></iframe>
<script>
const every = Number(new URLSearchParams(location.search).get("every") || 0);
if (every > 0)
    setInterval(() => { document.getElementById("board").src = "%(url)s"; }, every);
</script></body></html>
"""


def tree_cpu_ticks(pid):
    return sum(cpu_ticks(p) for p in [pid] + children_of(pid))


def board_requests(log):
    return read_file(log).count('"kind":"WhereIndex"')


def tab_phase(page, every_ms, warm_s, seconds, log):
    """CPU ticks of a chromium tab's processes over `seconds`, after `warm_s` of warming up."""
    profile = os.environ.get("PERF_CHROMIUM_PROFILE", "/tmp/perf-chromium-profile")
    args = ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
            "--remote-debugging-port=0", "--window-size=1280,1024", "--user-data-dir=" + profile,
            "file://%s?every=%d" % (page, every_ms)]
    proc = subprocess.Popen(args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
    try:
        time.sleep(warm_s)
        requests0, ticks0, t0 = board_requests(log), tree_cpu_ticks(proc.pid), time.monotonic()
        time.sleep(seconds)
        requests1, ticks1, t1 = board_requests(log), tree_cpu_ticks(proc.pid), time.monotonic()
    finally:
        proc.terminate()
        try:
            proc.wait(20)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()
    return (ticks1 - ticks0) / CLK_TCK, t1 - t0, requests1 - requests0


def cmd_warm_tab(url, seconds, log):
    page = os.path.join(os.environ.get("TMPDIR", "/tmp"), "perf-warm-tab.html")
    with open(page, "w") as f:
        f.write(TAB_PAGE % {"url": url})
    idle_cpu, idle_s, _ = tab_phase(page, 0, 10, seconds, log)
    busy_cpu, busy_s, reloads = tab_phase(page, 2000, 10, seconds, log)
    if reloads <= 0:
        sys.exit("the tab never reloaded the board")
    per_reload = (busy_cpu - idle_cpu * busy_s / idle_s) / reloads
    note("warm tab: idle %.2f s CPU over %.0f s; reloading %.2f s CPU over %.0f s, %d reloads"
         % (idle_cpu, idle_s, busy_cpu, busy_s, reloads))
    out("tab_idle_cpu_s", idle_cpu)
    out("tab_busy_cpu_s", busy_cpu)
    out("tab_seconds", busy_s)
    out("tab_reloads", reloads)
    out("tab_cpu_per_reload_ms", per_reload * 1000)


def refresh_cpu(program, count, skipped, timeout=60):
    """The samples of `count` refreshes after `skipped` ones, and the on-CPU time of all the process's
    threads from the last skipped refresh to the last one, in nanoseconds (the clock ticks of
    /proc/PID/stat are 10 ms, a refresh's whole cost)."""
    samples, clock = [], None
    for seen, sample in enumerate(refreshes(program, count + skipped, timeout)):
        if seen == skipped - 1:
            clock = ThreadClock(program.proc.pid)
        elif seen >= skipped:
            samples.append(sample)
            clock.read()
    program.stop()
    return samples, clock.total


def cmd_refresh_cpu(exe, data, count):
    # The first refresh only starts the count.
    samples, cpu_ns = refresh_cpu(Program(exe, data, REFRESH_ENV), count, skipped=1)
    out("refresh_members", samples[-1][0])
    out("refresh_count", len(samples))
    out("refresh_process_cpu_per_refresh_ms", cpu_ns / 1e6 / len(samples))
    out("refresh_update_process_cpu_ms", statistics.median(s[3] for s in samples))
    out("refresh_update_thread_cpu_ms", statistics.median(s[2] for s in samples))
    out("refresh_update_wall_ms", statistics.median(s[1] for s in samples))


def cmd_refresh_cpu_real(exe, data, count):
    # No fast timers: the status refresh every minute and each of the other timers at its own period.
    program = Program(exe, data, {"QT_LOGGING_RULES": "zelmora.perf=true"})
    # The first three refreshes only start the count: the one of the start-up, the one a minute later
    # that comes with the first show of the status window when there is no tray to wait for, and the
    # first one over the shown window (its wait cursor is read from the cursor theme then, 4 ms).
    # A refresh may wait a minute more when the registration pass of the own entry falls on its tick.
    samples, cpu_ns = refresh_cpu(program, count, skipped=3, timeout=200)
    out("real_members", samples[-1][0])
    out("real_count", len(samples))
    out("real_cpu_per_refresh_ms", cpu_ns / 1e6 / len(samples))
    out("real_update_process_cpu_ms", statistics.median(s[3] for s in samples))


def cmd_refresh_stall(exe, data, count):
    """The longest event-loop stall from the end of the first refresh to the last of `count` more."""
    program = Program(exe, data, {"ZELMORA_TEST_TICK_MS": "250", "QT_LOGGING_RULES": "zelmora.*=true"})
    samples, start = [], None
    for sample in refreshes(program, count + 1):
        if start is None:
            start = program.now()
        else:
            samples.append(sample)
    # The last period's report comes up to a second after the last refresh.
    program.wait_for(r"longest event-loop stall", 2)
    end = program.now()
    program.stop()
    # A report covers the time before its line: the longest stall of the period ("in the last N ms")
    # or one stall of N ms that has just ended. Only those wholly after the first refresh count; the
    # first period also holds the start-up, which loads the windows.
    period = re.compile(r"longest event-loop stall (\d+) ms in the last (\d+) ms")
    single = re.compile(r"event loop stalled for (\d+) ms")
    stalls = []
    for t, line in program.log:
        m = period.search(line)
        covered = (int(m.group(1)), int(m.group(2))) if m else None
        m = single.search(line)
        if m:
            covered = (int(m.group(1)), int(m.group(1)))
        if covered and t - covered[1] / 1000.0 >= start and t <= end:
            stalls.append(covered[0])
    out("stall_members", samples[-1][0])
    out("stall_refreshes", len(samples))
    out("stall_longest_ms", max(stalls, default=0))
    out("stall_update_thread_cpu_ms", statistics.median(s[2] for s in samples))
    out("stall_update_wall_ms", statistics.median(s[1] for s in samples))


# --- settings ------------------------------------------------------------------------------------

def scramble(key, text):
    """The stored form of a password: MD5 of the low cp932 byte of each key character, as two decimal
    digits per byte in UTF-16LE, XORed over the UTF-16LE bytes of the text, upper-case hex."""
    key_bytes = bytearray()
    for ch in key:
        try:
            key_bytes.append(ch.encode("cp932")[-1])
        except UnicodeEncodeError:
            key_bytes.append(ord("?"))
    stream = bytearray()
    for byte in hashlib.md5(bytes(key_bytes)).digest():
        value = byte % 100
        stream += bytes([ord("0") + value // 10, 0, ord("0") + value % 10, 0])
    result, position = "", 0
    for ch in text:
        for part in (ord(ch) & 0xFF, ord(ch) >> 8):
            result += "%02X" % (part ^ stream[position % 32])
            position += 1
    return result


def logon_name():
    try:
        name = pwd.getpwuid(os.getuid()).pw_name
    except KeyError:
        name = os.environ.get("USER", "")
    return name or "COMMON"


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    command, args = sys.argv[1], sys.argv[2:]
    if command == "scramble" and len(args) == 2:
        print(scramble(args[0], args[1]))
    elif command == "logon-name":
        print(logon_name())
    elif command == "startup" and len(args) == 2:
        cmd_startup(*args)
    elif command == "update" and len(args) == 3:
        cmd_update(args[0], args[1], int(args[2]))
    elif command == "resident" and len(args) == 4:
        cmd_resident(args[0], args[1], float(args[2]), args[3])
    elif command == "chromium" and len(args) == 2:
        cmd_chromium(args[0], int(args[1]))
    elif command == "warm-tab" and len(args) == 3:
        cmd_warm_tab(args[0], float(args[1]), args[2])
    elif command == "refresh-cpu" and len(args) == 3:
        cmd_refresh_cpu(args[0], args[1], int(args[2]))
    elif command == "refresh-cpu-real" and len(args) == 3:
        cmd_refresh_cpu_real(args[0], args[1], int(args[2]))
    elif command == "refresh-stall" and len(args) == 3:
        cmd_refresh_stall(args[0], args[1], int(args[2]))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()

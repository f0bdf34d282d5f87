#!/bin/sh
# A headless sway session for the end-to-end desktop test, run inside dbus-run-session as the
# session's user:  wayland_session.sh DIR ZELMORA DATA_FOLDER BAR_DELAY_SECONDS
# sway on its headless backend (no input devices: the seat is idle from the start), swaybar as the
# StatusNotifier tray (started BAR_DELAY_SECONDS after sway), mako for desktop notifications, then
# zelmora on the Wayland platform. DIR/session.env tells the test how to reach the session;
# zelmora's output goes to DIR/zelmora.log, its pid to DIR/zelmora.pid, its exit status to
# DIR/zelmora.status.
set -u
dir=$1 zelmora=$2 data=$3 bar_delay=$4
export XDG_RUNTIME_DIR="$dir/run" HOME="$dir/home"
export WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman

cat > "$dir/bar.sh" <<END
#!/bin/sh
sleep $bar_delay
exec swaybar "\$@"
END
chmod 755 "$dir/bar.sh"
cat > "$dir/sway.conf" <<END
xwayland disable
output HEADLESS-1 resolution 1280x800
bar {
    swaybar_command $dir/bar.sh
    status_command true
    tray_output *
}
exec mako
END

sway -c "$dir/sway.conf" > "$dir/sway.log" 2>&1 &
sway_pid=$!
socket=
for _ in $(seq 100); do
    socket=$(ls "$XDG_RUNTIME_DIR" 2> /dev/null | grep -m1 '^wayland-[0-9]*$')
    [ -n "$socket" ] && break
    sleep 0.1
done
[ -n "$socket" ] || { echo "sway did not start" >&2; cat "$dir/sway.log" >&2; exit 1; }
export WAYLAND_DISPLAY="$socket"
SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock | head -n1)
export SWAYSOCK

printf 'DBUS_SESSION_BUS_ADDRESS=%s\nXDG_RUNTIME_DIR=%s\nHOME=%s\nWAYLAND_DISPLAY=%s\nSWAYSOCK=%s\n' \
    "$DBUS_SESSION_BUS_ADDRESS" "$XDG_RUNTIME_DIR" "$HOME" "$WAYLAND_DISPLAY" "$SWAYSOCK" > "$dir/session.env.new"
mv "$dir/session.env.new" "$dir/session.env"

# Under the sanitizers: Mesa's driver, which Qt's Wayland plugin loads and which is unloaded before
# the leak check, allocates many frames below the library that tests/lsan.supp can name; only the
# full unwinder and whole stacks reach it.
[ -n "${ASAN_OPTIONS:-}" ] && export ASAN_OPTIONS="$ASAN_OPTIONS:fast_unwind_on_malloc=0:malloc_context_size=30"
QT_QPA_PLATFORM=wayland QT_LOGGING_RULES='zelmora.*=true' ZELMORA_TEST_TICK_MS=150 \
    "$zelmora" "$data" > "$dir/zelmora.log" 2>&1 &
echo $! > "$dir/zelmora.pid"
wait $!
echo $? > "$dir/zelmora.status"
swaymsg exit > /dev/null 2>&1
wait $sway_pid

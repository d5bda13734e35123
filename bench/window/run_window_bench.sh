#!/bin/bash
# Runs the window benchmark on a private virtual display with a private
# PulseAudio null sink. Prints figures; passes or fails nothing.
#
#   bench/window/run_window_bench.sh [build dir, default build/linux]
set -u
build=${1:-build/linux}
program="$build/src/platform/posix/qt/qingli-tts"
bare="$build/bench/window/qingli_bare_window"
bench="$build/bench/window/qingli_window_bench"
for file in "$program" "$bare" "$bench"; do
  [ -x "$file" ] || { echo "missing $file: build the preset first"; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
exec 3>&-
export DISPLAY=":$(head -n1 "$work/display")"

export XDG_RUNTIME_DIR="$work/runtime"
export PULSE_RUNTIME_PATH="$work/runtime/pulse"
export PULSE_STATE_PATH="$work/state"
export PULSE_SERVER="unix:$work/runtime/pulse/native"
mkdir -p "$PULSE_RUNTIME_PATH" "$PULSE_STATE_PATH"
chmod 700 "$XDG_RUNTIME_DIR"
root_flags=()
[ "$(id -u)" = 0 ] && root_flags=(--system=false)
pulseaudio "${root_flags[@]}" --daemonize=no --exit-idle-time=-1 -n --use-pid-file=no \
  --disable-shm=yes \
  --load="module-null-sink sink_name=bench rate=22050 channels=1" \
  --load="module-native-protocol-unix socket=$work/runtime/pulse/native auth-anonymous=1" \
  >"$work/pulse.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl set-default-sink bench
# A stream of zeros keeps the sink running, so its monitor delivers sound
# continuously and the time a piece arrives follows the sink's clock; the
# zeros add nothing to what is measured.
pacat --playback --latency-msec=10 -d bench --format=s16le --rate=22050 --channels=1 \
  </dev/zero >/dev/null 2>&1 &
pids+=($!)

echo "Machine: $(nproc) cores, $(uname -r); Xvfb without a window manager"
"$bench" "$program" "$bare" bench; echo "benchmark exit status $?"

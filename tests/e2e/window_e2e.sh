#!/bin/bash
# The real program on a virtual X display with a private PulseAudio null
# sink, driven with xdotool: the window opens where it should, "朗读" is
# heard, "暂停" silences it, "恢复" brings it back, and Esc while it speaks
# ends the program with exit code 0 within a second.
#
#   window_e2e.sh <qingli-tts> <expect-voice: 0|1>
#
# Exits 77 (skipped) when Xvfb is missing, and also, after the window and
# Esc checks, when the program was built without the voice engine (nothing
# to hear then).
set -u
program=$1
expect_voice=${2:-1}
title="青栎工坊文字转语音工具"

for tool in Xvfb xdotool xwininfo pulseaudio parec pactl sox; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is missing (install xvfb, xdotool, x11-utils, pulseaudio, pulseaudio-utils, sox)"
    exit 77
  fi
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  [ -s "$work/program.log" ] && { echo "--- program output"; cat "$work/program.log"; }
  exit 1
}

source "$(dirname "$0")/x_session.sh"

# ---- a display of our own
start_display main 1024x768

# ---- a sound server of our own with a sink that only records
start_sound_server e2e

# Records the sink for $1 seconds into $2 (raw, 16-bit, mono, 22050 Hz).
# A short latency keeps parec from holding back seconds of sound, and an
# interrupt (not a kill) makes it write out what it has.
record() {
  parec --latency-msec=20 -d e2e.monitor --format=s16le --rate=22050 --channels=1 \
    --file-format=raw "$2" 2>/dev/null &
  local recorder=$!
  sleep "$1"
  kill -INT "$recorder"
  wait "$recorder"
}
# The RMS amplitude of a recording, 0 to 1. The null sink's monitor sends
# nothing while nothing plays, so an empty recording is silence.
rms() {
  if [ ! -s "$1" ]; then
    echo 0
    return
  fi
  sox -t raw -r 22050 -e signed -b 16 -c 1 "$1" -n stat 2>&1 |
    awk '/RMS +amplitude/ { print $3 }'
}
audible() { awk -v a="$1" 'BEGIN { exit !(a > 0.01) }'; }
silent() { awk -v a="$1" 'BEGIN { exit !(a < 0.001) }'; }

# ---- the program
"$program" >"$work/program.log" 2>&1 &
app=$!
pids+=("$app")
window=$(find_program_window)
[ -n "$window" ] || fail "the window did not appear"
[ "$(xdotool getwindowname "$window")" = "$title" ] || fail "wrong title"
geometry=$(xwininfo -id "$window")
left=$(awk '/Absolute upper-left X/ { print $4 }' <<<"$geometry")
top=$(awk '/Absolute upper-left Y/ { print $4 }' <<<"$geometry")
width=$(awk '/Width:/ { print $2 }' <<<"$geometry")
height=$(awk '/Height:/ { print $2 }' <<<"$geometry")
# No window manager here, so no frame: outer and client size are one.
[ "$left,$top,${width}x$height" = "324,226,375x315" ] ||
  fail "window at $left,$top size ${width}x$height, expected 324,226 375x315"
echo "ok: window \"$title\" at $left,$top, ${width}x$height"

click() {  # client coordinates
  xdotool mousemove --window "$window" "$1" "$2" click 1
}
read_aloud() { click 310 230; }
pause_resume() { click 310 265; }

read_aloud
sleep 0.3
record 1.5 "$work/speaking.raw"
speaking=$(rms "$work/speaking.raw")
heard=1
if ! audible "$speaking"; then
  [ "$expect_voice" = 0 ] || fail "nothing heard after 朗读 (RMS $speaking)"
  heard=0
fi
if [ "$heard" = 1 ]; then
  echo "ok: 朗读 is heard (RMS $speaking)"

  pause_resume
  sleep 0.3
  record 1.5 "$work/paused.raw"
  paused=$(rms "$work/paused.raw")
  silent "$paused" || fail "still heard after 暂停 (RMS $paused)"
  echo "ok: 暂停 silences it (RMS $paused)"

  pause_resume
  sleep 0.3
  record 1.5 "$work/resumed.raw"
  resumed=$(rms "$work/resumed.raw")
  audible "$resumed" || fail "nothing heard after 恢复 (RMS $resumed)"
  echo "ok: 恢复 brings it back (RMS $resumed)"
fi

# A sanitizer build checks the whole heap for leaks as it exits, which takes
# longer than the program's own ending; it gets three seconds.
limit_ms=1000
if ldd "$program" | grep -q libasan; then
  limit_ms=3000
fi
xdotool windowfocus --sync "$window"
start=$(date +%s%N)
xdotool key Escape
for _ in $(seq $((limit_ms / 10 + 50))); do kill -0 "$app" 2>/dev/null || break; sleep 0.01; done
elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
kill -0 "$app" 2>/dev/null && fail "still running ${elapsed_ms} ms after Esc"
wait "$app"
status=$?
[ "$status" = 0 ] || fail "exit code $status after Esc"
[ "$elapsed_ms" -le "$limit_ms" ] || fail "took ${elapsed_ms} ms to end after Esc (limit ${limit_ms} ms)"
echo "ok: Esc ends the program with exit code 0 in ${elapsed_ms} ms"

# On a screen narrower than the window the left edge is -27, not -28.
start_display small 320x240
"$program" >"$work/program.log" 2>&1 &
small=$!
pids+=("$small")
window=$(find_program_window)
[ -n "$window" ] || fail "the window did not appear on the small screen"
geometry=$(xwininfo -id "$window")
corner="$(awk '/Absolute upper-left X/ { print $4 }' <<<"$geometry"),$(awk '/Absolute upper-left Y/ { print $4 }' <<<"$geometry")"
[ "$corner" = "-27,-37" ] || fail "on a 320x240 screen the window is at $corner, expected -27,-37"
echo "ok: on a 320x240 screen the window opens at $corner"
xdotool windowfocus --sync "$window" key Escape
wait "$small" || fail "exit code $? after Esc on the small screen"

# Asked to end by a signal (at logout, say), the program ends, its voice open.
"$program" >"$work/program.log" 2>&1 &
signalled=$!
pids+=("$signalled")
[ -n "$(find_program_window)" ] || fail "the window did not appear for the signal check"
kill -TERM "$signalled"
for _ in $(seq 300); do kill -0 "$signalled" 2>/dev/null || break; sleep 0.01; done
kill -0 "$signalled" 2>/dev/null && fail "still running 3 s after SIGTERM"
echo "ok: SIGTERM ends the program"

if [ "$heard" = 0 ]; then
  echo "SKIP: the sound checks: the program was built without the voice engine, nothing to hear"
  exit 77
fi

# Sourced by the scripts that run the real program: a virtual X display and
# a private PulseAudio server with a null sink, each its own, so that tests
# running at the same time never share one.
#
# The caller defines `work` (a private temporary directory), the array
# `pids` (every process started here is added to it, for the caller's
# cleanup) and `fail MESSAGE...` (which must not return).

program_title="青栎工坊文字转语音工具"

# start_display NAME SIZE [XVFB OPTION...]: an Xvfb of SIZE (e.g. 1024x768)
# with its own display number; exports DISPLAY.
start_display() {
  local name=$1 size=$2
  shift 2
  exec 3>"$work/$name.display"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp "$@" >"$work/$name.xvfb.log" 2>&1 &
  pids+=($!)
  local _
  for _ in $(seq 50); do [ -s "$work/$name.display" ] && break; sleep 0.1; done
  exec 3>&-
  [ -s "$work/$name.display" ] || fail "Xvfb did not start: $(cat "$work/$name.xvfb.log")"
  export DISPLAY=":$(head -n1 "$work/$name.display")"
}

# start_sound_server SINK: PulseAudio with one null sink named SINK (mono,
# 22050 Hz) as the default sink; exports what its clients need to find it.
start_sound_server() {
  local sink=$1
  export XDG_RUNTIME_DIR="$work/runtime"
  export PULSE_RUNTIME_PATH="$work/runtime/pulse"
  export PULSE_STATE_PATH="$work/state"
  export PULSE_SERVER="unix:$work/runtime/pulse/native"
  mkdir -p "$PULSE_RUNTIME_PATH" "$PULSE_STATE_PATH"
  chmod 700 "$XDG_RUNTIME_DIR"
  local root_flags=()
  [ "$(id -u)" = 0 ] && root_flags=(--system=false)
  pulseaudio "${root_flags[@]}" --daemonize=no --exit-idle-time=-1 -n --use-pid-file=no \
    --disable-shm=yes \
    --load="module-null-sink sink_name=$sink rate=22050 channels=1" \
    --load="module-native-protocol-unix socket=$work/runtime/pulse/native auth-anonymous=1" \
    >"$work/pulse.log" 2>&1 &
  pids+=($!)
  local _
  for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  pactl info >/dev/null 2>&1 || fail "pulseaudio did not start: $(cat "$work/pulse.log")"
  pactl set-default-sink "$sink"
}

# find_program_window: prints the id of the program's window once it is
# mapped, or nothing after 10 s.
find_program_window() {
  timeout 10 xdotool search --sync --name "^$program_title\$" | head -n1
}

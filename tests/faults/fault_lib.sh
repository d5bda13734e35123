# Shared by the fault scripts: a private X display, a private sound server
# that only records, the real program on them, and a way to ask whether its
# window still answers.
#
# Source it, then call start_display faults SIZE, optionally
# start_sound_server faults, then start_program. Everything started is ended when the script exits.
require_tools() {
  local tool
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null; then
      echo "SKIP: $tool is missing (install xvfb, xdotool, xclip, pulseaudio, pulseaudio-utils, sox)"
      exit 77
    fi
  done
}

work=$(mktemp -d)
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  if [ -s "$work/program.log" ]; then
    echo "--- program output"
    head -c 4000 "$work/program.log"
  fi
  exit 1
}

# The display and sound server helpers of the end-to-end test.
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/x_session.sh"

# Records the sink for $1 seconds and prints the RMS amplitude (0 to 1); the
# null sink's monitor sends nothing while nothing plays.
recorded_rms() {
  parec --latency-msec=20 -d faults.monitor --format=s16le --rate=22050 --channels=1 \
    --file-format=raw "$work/recording.raw" 2>/dev/null &
  local recorder=$!
  sleep "$1"
  kill -INT "$recorder"
  wait "$recorder"
  if [ ! -s "$work/recording.raw" ]; then
    echo 0
    return
  fi
  sox -t raw -r 22050 -e signed -b 16 -c 1 "$work/recording.raw" -n stat 2>&1 |
    awk '/RMS +amplitude/ { print $3 }'
}

# Starts the program ($@, with any leading VAR=value settings) and waits for
# its window; sets app and window.
start_program() {
  env "$@" >"$work/program.log" 2>&1 &
  app=$!
  pids+=("$app")
  window=$(timeout 20 xdotool search --sync --name "^$program_title\$" | head -n1)
  [ -n "$window" ] || fail "the window did not appear"
  xdotool windowfocus --sync "$window"
}

click() {  # client coordinates
  xdotool mousemove --window "$window" "$1" "$2" click 1
}
click_edit_box() { click 150 60; }
# The first two characters of the text the edit box opens with.
sample_start="欢迎"
click_read_aloud() { click 310 230; }
click_pause_resume() { click 310 265; }

# Whether the window answers: a click in the edit box gives it the focus
# (a button keeps it after a click), then it selects the first two
# characters (Ctrl+Home, Shift+Right twice), which makes it the owner of the
# primary selection, and serves that selection to xclip. All of that needs
# the program's event loop, so an answer within $2 seconds (default 5) shows
# the window handled everything sent before. $1 is the text expected.
answers() {
  local expected=$1 limit=${2:-5}
  xdotool windowfocus --sync "$window"
  click_edit_box
  xdotool key ctrl+Home shift+Right shift+Right
  local got
  got=$(timeout "$limit" xclip -o -selection primary 2>/dev/null | tr -d '\0')
  [ "$got" = "$expected" ]
}

# Waits up to $1 seconds for answers "$2"; prints the milliseconds it took.
wait_until_answers() {
  local limit=$1 expected=$2
  local start deadline
  start=$(date +%s%N)
  deadline=$((start + limit * 1000000000))
  until answers "$expected" 5; do
    [ "$(date +%s%N)" -lt "$deadline" ] || return 1
    sleep 0.2
  done
  echo $((($(date +%s%N) - start) / 1000000))
}

# The program's top-level windows that are mapped: the main window only,
# unless a message box or dialog opened.
visible_windows() {
  xdotool search --onlyvisible --pid "$app" 2>/dev/null | wc -l
}

# Esc ends the program with exit code 0 within $1 seconds (default 5).
ends_on_esc() {
  local limit=${1:-5}
  xdotool windowfocus --sync "$window" key Escape
  local _
  for _ in $(seq $((limit * 20))); do
    kill -0 "$app" 2>/dev/null || break
    sleep 0.05
  done
  kill -0 "$app" 2>/dev/null && fail "still running $limit s after Esc"
  wait "$app"
  local status=$?
  [ "$status" = 0 ] || fail "exit code $status after Esc"
  ! grep -qE "Aborted|core dumped|Sanitizer" "$work/program.log" ||
    fail "the program's output reports a crash"
}

# One pass over every control: text typed into the edit box, 朗读, 暂停 and
# 恢复; the window must answer after each.
every_control_answers() {
  click_edit_box
  xdotool key ctrl+a
  xdotool type --delay 20 "ping"
  answers "pi" || fail "the edit box did not take typed text"
  click_read_aloud
  answers "pi" || fail "no answer after 朗读"
  click_pause_resume
  answers "pi" || fail "no answer after 暂停"
  click_pause_resume
  answers "pi" || fail "no answer after 恢复"
  # Sliders: a click on the groove moves them a page.
  click 150 230
  click 150 265
  answers "pi" || fail "no answer after the sliders were clicked"
}

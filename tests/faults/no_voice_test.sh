#!/bin/bash
# The real program with no voice: the window opens alone (no message box),
# every control answers, nothing is heard, and Esc ends it with exit code 0.
#
#   no_voice_test.sh <qingli-tts> data    espeak-ng's data directory empty,
#                                         then holding files it cannot read
#   no_voice_test.sh <qingli-tts-no-voice-class> class
#                                         no class registered for the voice
set -u
source "$(dirname "$0")/fault_lib.sh"
program=$1
mode=$2
require_tools Xvfb xdotool xclip pulseaudio pactl parec sox
start_display faults 1024x768
start_sound_server faults

variants=()
if [ "$mode" = data ]; then
  mkdir -p "$work/empty-data" "$work/garbage-data/lang/sit"
  for file in phontab phonindex phondata intonations cmn_dict lang/sit/cmn; do
    head -c 3000 /dev/zero | tr '\0' 'Z' >"$work/garbage-data/$file"
  done
  # espeak-ng falls back to its built-in data directory when the one named
  # does not exist, so these directories do exist.
  variants=("ESPEAK_DATA_PATH=$work/empty-data" "ESPEAK_DATA_PATH=$work/garbage-data")
else
  variants=("no voice class")
fi

for setting in "${variants[@]}"; do
  if [ "$mode" = data ]; then
    start_program "$setting" "$program"
  else
    start_program "$program"
  fi
  [ "$(visible_windows)" = 1 ] || fail "($setting) more than the main window opened"
  every_control_answers
  click_read_aloud
  rms=$(recorded_rms 1)
  awk -v a="$rms" 'BEGIN { exit !(a < 0.001) }' || fail "($setting) heard something (RMS $rms)"
  answers "pi" || fail "($setting) no answer after 朗读"
  [ "$(visible_windows)" = 1 ] || fail "($setting) a message box or dialog opened"
  ends_on_esc
  echo "ok ($setting): one window, every control answers, silent (RMS $rms), exit code 0"
done

#!/bin/bash
# No sound server and no sound card: the window opens, every control
# answers, and Esc ends the program with exit code 0. The voice then plays
# into nothing at real-time pace.
#
#   no_sound_test.sh <qingli-tts>
set -u
source "$(dirname "$0")/fault_lib.sh"
program=$1
require_tools Xvfb xdotool xclip
start_display faults 1024x768

# No server answers at the address given, and there is no runtime directory
# to find one in.
mkdir -p "$work/empty-runtime"
chmod 700 "$work/empty-runtime"
no_server=(XDG_RUNTIME_DIR="$work/empty-runtime" PULSE_SERVER="unix:$work/no-such-socket"
           PIPEWIRE_REMOTE="$work/no-such-socket" AUDIODEV=/nonexistent)
for driver in "" alsa no-such-driver; do
  label=${driver:-SDL\'s own choice}
  start_program "${no_server[@]}" SDL_AUDIODRIVER="$driver" "$program"
  answers "$sample_start" || fail "($label) the window does not answer"
  every_control_answers
  click_read_aloud
  answers "pi" || fail "($label) no answer after a second 朗读"
  [ "$(visible_windows)" = 1 ] || fail "($label) a second window opened"
  ends_on_esc
  echo "ok ($label): the window answers and Esc ends it with exit code 0"
done

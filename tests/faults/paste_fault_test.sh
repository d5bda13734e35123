#!/bin/bash
# Awkward texts pasted into the real program from another program's
# clipboard: a text with U+0000 in it, and a text of 100 MB. The window
# must take the paste, answer again afterwards, speak on 朗读, and end with
# exit code 0 on Esc. How long the window is busy with each step is printed
# (the exact text the voice receives is checked by paste_test.cpp).
#
#   paste_fault_test.sh <qingli-tts>
set -u
source "$(dirname "$0")/fault_lib.sh"
program=$1
require_tools Xvfb xdotool xclip pulseaudio pactl parec sox
start_display faults 1024x768
start_sound_server faults

# Another program owns the clipboard holding the file $1, as an editor
# would after Copy. xclip reads all of its input before it takes the
# clipboard, and the one before it ends once it has lost the clipboard.
clipboard_owner=""
offer_clipboard() {
  xclip -quiet -selection clipboard -target UTF8_STRING -i "$1" >/dev/null 2>&1 &
  local owner=$!
  pids+=("$owner")
  local _
  for _ in $(seq 300); do
    if [ -n "$clipboard_owner" ]; then
      kill -0 "$clipboard_owner" 2>/dev/null || break
    elif xclip -o -selection clipboard -target TARGETS 2>/dev/null | grep -q UTF8_STRING; then
      break
    fi
    sleep 0.1
  done
  [ -z "$clipboard_owner" ] || ! kill -0 "$clipboard_owner" 2>/dev/null ||
    fail "xclip did not take the clipboard"
  clipboard_owner=$owner
}

# Pastes with Ctrl+V over the whole text, 朗读, and checks the voice speaks.
# $1 names the case, $2 is the file, $3 the first two characters.
paste_and_read() {
  local name=$1 file=$2 start=$3 limit=$4
  offer_clipboard "$file"
  click_edit_box
  xdotool key ctrl+a
  xdotool key ctrl+v
  local paste_ms
  paste_ms=$(wait_until_answers "$limit" "$start") || fail "($name) no answer $limit s after the paste"
  click_read_aloud
  local read_ms
  read_ms=$(wait_until_answers "$limit" "$start") || fail "($name) no answer $limit s after 朗读"
  local rms
  rms=$(recorded_rms 1.5)
  awk -v a="$rms" 'BEGIN { exit !(a > 0.01) }' || fail "($name) nothing heard after 朗读 (RMS $rms)"
  echo "ok ($name): the window answered ${paste_ms} ms after Ctrl+V and ${read_ms} ms after 朗读; heard (RMS $rms)"
}

printf '前面\0后面。' >"$work/zero.txt"
# 100 MB of Chinese sentences, 73 bytes a line.
yes "青栎工坊文字转语音工具朗读这一段话，一句又一句。" | head -n $((100000000 / 73)) \
  >"$work/large.txt"

start_program "$program"
paste_and_read "U+0000 inside" "$work/zero.txt" "前面" 20
paste_and_read "100 MB" "$work/large.txt" "青栎" 150
ends_on_esc 10
echo "ok: Esc ends the program with exit code 0"

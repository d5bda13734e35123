#!/bin/bash
# Displays that cannot be opened, beyond DISPLAY unset or unreachable (the
# Qt tests cover those): the program says so in one line and exits with
# status 255, without a crash or an abort.
#
#   no_display_test.sh <qingli-tts>
set -u
source "$(dirname "$0")/fault_lib.sh"
program=$1
require_tools Xvfb xauth

# An X server that refuses us: it wants a cookie we do not have.
xauth -f "$work/server-cookies" add ":0" . "$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')" \
  2>/dev/null
start_display faults 1024x768 -auth "$work/server-cookies"
refusing_display=$DISPLAY
unset DISPLAY

# One case a line: the settings, and how many lines of output are allowed.
# Xlib itself prints the server's refusal before Qt gives up; that one line
# (and its blank line) is not the program's own.
cases=(
  "1|DISPLAY=not-a-display"
  "3|DISPLAY=$refusing_display XAUTHORITY=$work/no-cookies"
  "1|QT_QPA_PLATFORM=xcb"
  "1|QT_QPA_PLATFORM=no-such-platform"
  "1|QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=no-such-socket"
  "1|QT_QPA_PLATFORM=linuxfb:fb=$work/no-such-framebuffer"
  "1|QT_QPA_PLATFORM=eglfs"
)
for entry in "${cases[@]}"; do
  allowed=${entry%%|*}
  read -r -a settings <<<"${entry#*|}"
  errors=$(timeout 20 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "${settings[@]}" \
    "$program" 2>&1 >/dev/null)
  status=$?
  [ "$status" = 255 ] || fail "(${settings[*]}) exit status $status, expected 255; output: $errors"
  last=$(printf '%s\n' "$errors" | grep . | tail -n1)
  [[ "$last" == *"no display could be opened"* ]] ||
    fail "(${settings[*]}) does not end saying no display could be opened: $errors"
  ! grep -qiE "abort|core dumped|sanitizer|segmentation" <<<"$errors" ||
    fail "(${settings[*]}) crashed: $errors"
  lines=$(printf '%s\n' "$errors" | wc -l)
  [ "$lines" -le "$allowed" ] ||
    fail "(${settings[*]}) printed $lines lines, expected at most $allowed: $errors"
  echo "ok (${settings[*]}): status 255, $lines line(s): $last"
done

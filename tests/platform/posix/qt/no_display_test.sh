#!/bin/bash
# Without any display the program says so in one line and exits with -1
# (status 255), without a crash or an abort.
set -u
program=$1
for setting in "unset" "unreachable"; do
  if [ "$setting" = unset ]; then
    run=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program")
  else
    run=(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:65000 "$program")
  fi
  errors=$(timeout 20 "${run[@]}" 2>&1 >/dev/null)
  status=$?
  if [ "$status" -ne 255 ]; then
    echo "FAIL ($setting): exit status $status, expected 255; stderr: $errors"
    exit 1
  fi
  lines=$(printf '%s\n' "$errors" | grep -c .)
  if [ "$lines" -ne 1 ] || ! grep -q "no display could be opened" <<<"$errors"; then
    echo "FAIL ($setting): expected one line saying no display could be opened, got:"
    printf '%s\n' "$errors"
    exit 1
  fi
  echo "ok ($setting): $errors"
done

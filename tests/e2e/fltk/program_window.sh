#!/usr/bin/env bash
# The program itself: started from a folder of its own, its window appears with the table's
# client size, caption and fixed frame, and the window manager's close command ends it after
# writing the settings file with the window's place. Usage: program_window.sh path/to/quorvel
set -euo pipefail
WORK=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-fltk.XXXXXX")
PID=""
trap '[ -n "$PID" ] && kill "$PID" 2>/dev/null; rm -rf "$WORK"' EXIT
fail() {
  echo "FAILED: $*" >&2
  exit 1
}
# The window titles, wait_for, shown, gone and find_quorvel of the operator's hands in the X11
# cases.
source "$(dirname "$0")/../x11/operator.sh"
ended() { ! kill -0 "$PID"; }
place() { xwininfo -id "$1" | awk '/Absolute upper-left [XY]:/ {printf "%s ", $4}'; }
at_place() { [ "$(place "$1")" = "$2" ]; }
framed() {
  xprop -root _NET_CLIENT_LIST | grep -q "$(printf '0x%x' "$1")" &&
    xprop -id "$1" _NET_FRAME_EXTENTS | grep -q "= " && xwininfo -id "$1" | grep -q IsViewable
}
expect_clean_exit() {
  wait_for 5 "$1" ended
  wait "$PID" || fail "exit status $?; stderr: $(cat "$WORK/err.txt")"
  PID=""
}
start() {
  "$WORK/quorvel" >"$WORK/out.txt" 2>"$WORK/err.txt" &
  PID=$!
  find_quorvel
  wait_for 5 "the window manager to frame the window" framed "$QUORVEL_WIN"
}

cp "$1" "$WORK/quorvel"
start
read -r width height <<<"$(xwininfo -id "$QUORVEL_WIN" | awk '/Width:|Height:/ {printf "%s ", $2}')"
[ "$width" = 669 ] && [ "$height" = 310 ] || fail "client area ${width}x${height}, expected 669x310"
hints=$(xprop -id "$QUORVEL_WIN" WM_NORMAL_HINTS)
grep -q "minimum size: 669 by 310" <<<"$hints" && grep -q "maximum size: 669 by 310" <<<"$hints" ||
  fail "the frame is not fixed: $hints"
xprop -id "$QUORVEL_WIN" _NET_WM_ICON | grep -q "Icon (32 x 32)" || fail "no 32 x 32 icon"
[ -s "$WORK/Quorvel.ini" ] || fail "no settings file written at start-up"

# Closed the way an operator does: the close button of the window manager's frame, at the right
# end of the title bar above the client area.
read -r x y <<<"$(place "$QUORVEL_WIN")"
xdotool mousemove $((x + width - 8)) $((y - 10)) click 1
expect_clean_exit "the program to end on the close command"
settings=$(tr -d '\r' <"$WORK/Quorvel.ini")
grep -qx "top=$((y * 15))" <<<"$settings" && grep -qx "left=$((x * 15))" <<<"$settings" ||
  fail "settings file does not hold the window's place ($x, $y px): $(cat "$WORK/Quorvel.ini")"
[ ! -s "$WORK/err.txt" ] || fail "wrote to standard error: $(cat "$WORK/err.txt")"
echo "closed by the window manager; settings written with the window at $x, $y"

# Started again, it comes back where it was; "EXIT" ends it at once.
start
wait_for 5 "the window to come back to $x, $y" at_place "$QUORVEL_WIN" "$x $y "
# The first click moves the focus out of the seed filename, which opens the picker instead.
xdotool mousemove --window "$QUORVEL_WIN" 519 291 click 1  # EXIT
wait_for 5 "leaving the seed filename to open the picker" shown "$PICKER_TITLE"
kill -0 "$PID" 2>/dev/null || fail "the click that opened the picker also pressed EXIT"
picker_id=$(shown "$PICKER_TITLE" | head -1)
wait_for 5 "the window manager to frame the picker" framed "$picker_id"
xdotool mousemove --window "$picker_id" 160 228 click 1  # "Got it!      Return"
wait_for 5 "\"Got it!\" to close the picker" gone "$PICKER_TITLE"
xdotool mousemove --window "$QUORVEL_WIN" 519 291 click 1  # EXIT
expect_clean_exit "EXIT to end the program"
echo "EXIT ended it"

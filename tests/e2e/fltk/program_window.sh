#!/usr/bin/env bash
# The program itself: started from a folder of its own, its window appears with the table's
# client size, caption and fixed frame, and the window manager's close command ends it after
# writing the settings file with the window's place. Usage: program_window.sh path/to/quorvel
set -euo pipefail
readonly TITLE="Odrin's HP Scanner Error Workaround"
WORK=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-fltk.XXXXXX")
PID=""
trap '[ -n "$PID" ] && kill "$PID" 2>/dev/null; rm -rf "$WORK"' EXIT
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# Polls the command every 50 ms until it succeeds, for up to 5 s; fails with the message otherwise.
wait_for() {
  local message=$1 _
  shift
  for _ in $(seq 1 100); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  fail "$message"
}
visible_window() { xdotool search --onlyvisible --name "^$1\$" | head -1 | grep -q .; }
gone() { ! visible_window "$1"; }
window_id() { xdotool search --onlyvisible --name "^$1\$" | head -1; }
ended() { ! kill -0 "$PID"; }
place() { xwininfo -id "$1" | awk '/Absolute upper-left [XY]:/ {printf "%s ", $4}'; }
at_place() { [ "$(place "$1")" = "$2" ]; }
framed() {
  xprop -root _NET_CLIENT_LIST | grep -q "$(printf '0x%x' "$1")" &&
    xprop -id "$1" _NET_FRAME_EXTENTS | grep -q "= " && xwininfo -id "$1" | grep -q IsViewable
}
expect_clean_exit() {
  wait_for "$1" ended
  wait "$PID" && status=0 || status=$?
  PID=""
  [ "$status" = 0 ] || fail "exit status $status; stderr: $(cat "$WORK/err.txt")"
}
start() {
  "$WORK/quorvel" >"$WORK/out.txt" 2>"$WORK/err.txt" &
  PID=$!
  wait_for "no window titled \"$TITLE\"" visible_window "$TITLE"
  wid=$(window_id "$TITLE")
  wait_for "the window manager does not frame the window" framed "$wid"
}

cp "$1" "$WORK/quorvel"
start
info=$(xwininfo -id "$wid")
width=$(awk '/Width:/ {print $2}' <<<"$info")
height=$(awk '/Height:/ {print $2}' <<<"$info")
[ "$width" = 669 ] && [ "$height" = 310 ] || fail "client area ${width}x${height}, expected 669x310"
hints=$(xprop -id "$wid" WM_NORMAL_HINTS)
grep -q "minimum size: 669 by 310" <<<"$hints" && grep -q "maximum size: 669 by 310" <<<"$hints" ||
  fail "the frame is not fixed: $hints"
xprop -id "$wid" _NET_WM_ICON | grep -q "Icon (32 x 32)" || fail "no 32 x 32 icon"
[ -s "$WORK/Quorvel.ini" ] || fail "no settings file written at start-up"

# Closed the way an operator does: the close button of the window manager's frame, at the right
# end of the title bar above the client area.
read -r x y <<<"$(place "$wid")"
xdotool mousemove $((x + width - 8)) $((y - 10)) click 1
expect_clean_exit "the program did not end on the close command"
settings=$(tr -d '\r' <"$WORK/Quorvel.ini")
grep -qx "top=$((y * 15))" <<<"$settings" && grep -qx "left=$((x * 15))" <<<"$settings" ||
  fail "settings file does not hold the window's place ($x, $y px): $(cat "$WORK/Quorvel.ini")"
[ ! -s "$WORK/err.txt" ] || fail "wrote to standard error: $(cat "$WORK/err.txt")"
echo "closed by the window manager; settings written with the window at $x, $y"

# Started again, it comes back where it was; "EXIT" ends it at once.
start
wait_for "the window did not come back to $x, $y" at_place "$wid" "$x $y "
# The first click moves the focus out of the seed filename, which opens the picker instead.
xdotool mousemove --window "$wid" 519 291 click 1  # EXIT
picker="Find Directory to Save Files In"
wait_for "leaving the seed filename did not open the picker" visible_window "$picker"
kill -0 "$PID" 2>/dev/null || fail "the click that opened the picker also pressed EXIT"
picker_id=$(window_id "$picker")
wait_for "the window manager does not frame the picker" framed "$picker_id"
xdotool mousemove --window "$picker_id" 160 228 click 1  # "Got it!      Return"
wait_for "\"Got it!\" did not close the picker" gone "$picker"
xdotool mousemove --window "$wid" 519 291 click 1  # EXIT
expect_clean_exit "EXIT did not end the program"
echo "EXIT ended it"

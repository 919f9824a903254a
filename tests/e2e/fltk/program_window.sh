#!/usr/bin/env bash
# The program itself: started from a folder of its own, its window appears with the table's
# client size, caption and fixed frame, and the window manager's close command ends it after
# writing the settings file with the window's place. Usage: program_window.sh path/to/quorvel
set -euo pipefail
readonly TITLE="Odrin's HP Scanner Error Workaround"
WORK=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-fltk.XXXXXX")
PID=""
cleanup() {
  [ -n "$PID" ] && kill "$PID" 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# The id of the first visible window titled exactly $1, waiting up to 5 s; empty when none.
find_window() {
  local id=""
  for _ in $(seq 1 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) && [ -n "$id" ] && break
    sleep 0.05
  done
  echo "$id"
}

# Waits up to 5 s for the program to end; fails with $1 if it does not, or if it ends badly.
expect_exit() {
  for _ in $(seq 1 100); do
    kill -0 "$PID" 2>/dev/null || break
    sleep 0.05
  done
  if kill -0 "$PID" 2>/dev/null; then fail "$1"; fi
  wait "$PID" && status=0 || status=$?
  PID=""
  [ "$status" = 0 ] || fail "exit status $status; stderr: $(cat "$WORK/err.txt")"
}

cp "$1" "$WORK/quorvel"
start=$(date +%s%N)
"$WORK/quorvel" >"$WORK/out.txt" 2>"$WORK/err.txt" &
PID=$!
wid=$(find_window "$TITLE")
[ -n "$wid" ] || fail "no window titled \"$TITLE\""
echo "window shown $(( ($(date +%s%N) - start) / 1000000 )) ms after start"

info=$(xwininfo -id "$wid")
width=$(awk '/Width:/ {print $2}' <<<"$info")
height=$(awk '/Height:/ {print $2}' <<<"$info")
[ "$width" = 669 ] && [ "$height" = 310 ] || fail "client area ${width}x${height}, expected 669x310"
hints=$(xprop -id "$wid" WM_NORMAL_HINTS)
grep -q "minimum size: 669 by 310" <<<"$hints" && grep -q "maximum size: 669 by 310" <<<"$hints" ||
  fail "the frame is not fixed: $hints"
xprop -id "$wid" _NET_WM_ICON | grep -q "Icon (32 x 32)" || fail "no 32 x 32 icon"
[ -s "$WORK/Quorvel.ini" ] || fail "no settings file written at start-up"

# Once the window manager has framed it, close it the way an operator does: the close button of the window manager's frame, at the
# right end of the title bar above the client area.
for _ in $(seq 1 100); do
  xprop -root _NET_CLIENT_LIST | grep -q "$(printf '0x%x' "$wid")" &&
    xprop -id "$wid" _NET_FRAME_EXTENTS | grep -q "= " && break
  sleep 0.05
done
sleep 0.2
x=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$(xwininfo -id "$wid")")
y=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$(xwininfo -id "$wid")")
xdotool mousemove $((x + width - 8)) $((y - 10)) click 1
expect_exit "the program did not end on the close command"
settings=$(tr -d '\r' <"$WORK/Quorvel.ini")
grep -qx "top=$((y * 15))" <<<"$settings" && grep -qx "left=$((x * 15))" <<<"$settings" ||
  fail "settings file does not hold the window's place ($x, $y px): $(cat "$WORK/Quorvel.ini")"
[ ! -s "$WORK/err.txt" ] || fail "wrote to standard error: $(cat "$WORK/err.txt")"
echo "closed by the window manager; settings written with the window at $x, $y"

# Started again, it comes back where it was; "EXIT" ends it at once.
"$WORK/quorvel" >"$WORK/out.txt" 2>"$WORK/err.txt" &
PID=$!
wid=$(find_window "$TITLE")
[ -n "$wid" ] || fail "no window on the second start"
sleep 0.3
info=$(xwininfo -id "$wid")
[ "$(awk '/Absolute upper-left X:/ {print $4}' <<<"$info")" = "$x" ] &&
  [ "$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$info")" = "$y" ] ||
  fail "the window did not come back to $x, $y: $(grep Absolute <<<"$info")"
# The first click moves the focus out of the seed filename, which opens the picker instead.
xdotool mousemove --window "$wid" 519 291 click 1  # EXIT
picker=$(find_window "Find Directory to Save Files In")
[ -n "$picker" ] || fail "leaving the seed filename did not open the picker"
kill -0 "$PID" 2>/dev/null || fail "the click that opened the picker also pressed EXIT"
sleep 0.3
xdotool mousemove --window "$picker" 160 228 click 1  # "Got it!      Return"
sleep 0.3
xdotool mousemove --window "$wid" 519 291 click 1  # EXIT
expect_exit "EXIT did not end the program"
echo "EXIT ended it"

# Shared by the end-to-end cases: a private folder, the programs under test started and always
# stopped, the operator's hands (xdotool) on Quorvel's window, and checks of the stand-in's log.
# shellcheck shell=bash
set -euo pipefail

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$E2E_DIR/../../../scripts/lib.sh"
source "$E2E_DIR/operator.sh"

: "${QUORVEL_BIN:?}" "${SCANNER_SIM:?}" "${FOCUS_THIEF:?}" "${X11_PROBE:?}"


WORK=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-e2e.XXXXXX")
SAVE="$WORK/scans"
SIM_LOG="$WORK/scanner.log"
THIEF_LOG="$WORK/thief.log"
QUORVEL_OUT="$WORK/quorvel.out"
mkdir -p "$SAVE"
PIDS=()
EXTRA_LOGS=()
OWN_XSERVER=0

fail() {
  echo "FAILED: $*" >&2
  echo "--- quorvel's steps:" >&2
  cat "$QUORVEL_OUT" >&2 2>/dev/null || true
  echo "--- the stand-in's log:" >&2
  cat "$SIM_LOG" >&2 2>/dev/null || true
  if [ -s "${THIEF_LOG:-}" ]; then
    echo "--- the thief's log:" >&2
    cat "$THIEF_LOG" >&2
  fi
  print_x_logs >&2
  local log  # those a case adds
  for log in "${EXTRA_LOGS[@]}"; do
    [ -f "$log" ] && { echo "--- $log:" && cat "$log"; } >&2
  done
  exit 1
}

cleanup() {
  local pid
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  [ "${LAYOUT_CHANGED:-0}" = 1 ] && setxkbmap us
  [ "$OWN_XSERVER" = 1 ] && stop_xserver
  if [ "${KEEP_E2E:-0}" = 1 ]; then echo "kept $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

# The display: the one the caller gives, else a private Xvfb with openbox. Cases of a desktop
# with no window manager (E2E_DESKTOP=bare) always get a private Xvfb of their own.
if [ "${E2E_DESKTOP:-}" = bare ]; then
  start_bare_xserver
  OWN_XSERVER=1
else
  if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    start_xserver
    OWN_XSERVER=1
  fi
  window_manager_running || fail "no window manager runs on $DISPLAY; these cases need one"
fi

start_scanner() {  # options of quorvel-scanner-sim after --folder and --log
  "$SCANNER_SIM" --folder "$SAVE" --log "$SIM_LOG" "$@" &
  PIDS+=($!)
  wait_for 10 "the stand-in's main window" xdotool search --name '^DeskScan II$'
}

start_thief() {  # options of quorvel-focus-thief after --log
  "$FOCUS_THIEF" --log "$THIEF_LOG" "$@" &
  PIDS+=($!)
  wait_for 10 "the thief's window" xdotool search --name '^Terminal$'
}

# Starts a copy of Quorvel (its settings file lives beside it, in $WORK/bin) with the save folder
# as its working folder and a short pause after each save; QUORVEL_RUNNER, when set, runs it
# (wine64 for Quorvel.exe).
start_quorvel() {
  local delay=$1 program
  program="$WORK/bin/$(basename "$QUORVEL_BIN")"
  mkdir -p "$WORK/bin"
  cp "$QUORVEL_BIN" "$program"
  printf "' settings for the test\r\ntop=300\r\nleft=300\r\ndelay=%s\r\n" "$delay" \
    >"$WORK/bin/Quorvel.ini"
  (cd "$SAVE" && exec ${QUORVEL_RUNNER:-} "$program" >"$QUORVEL_OUT" 2>&1) &
  PIDS+=($!)
  find_quorvel
}

# --- the stand-in's log
keys_of() {  # window title: the keys it received, one per line
  awk -F '\t' -v t="$1" '$1 == "key" && $2 == t { print $3 }' "$SIM_LOG" 2>/dev/null
}
saves_ok() { awk -F '\t' '$1 == "save" && $3 == "ok" { print $2 }' "$SIM_LOG" 2>/dev/null; }
count_lines() { grep -c -- "$2" "$1" 2>/dev/null || true; }
keys_at_least() { [ "$(keys_of "$2" | wc -l)" -ge "$1" ]; }  # count title
steps_at_least() { [ "$(count_lines "$QUORVEL_OUT" "$2")" -ge "$1" ]; }
has_saves() { [ "$(saves_ok | wc -l)" -ge "$1" ]; }

# expect_keys TITLE EXPECTED-KEYS-ONE-PER-LINE
expect_keys() {
  local got
  got=$(keys_of "$1")
  [ "$got" = "$2" ] || fail "keys received by \"$1\":
$(diff <(echo "$2") <(echo "$got") || true)"
}

expect_files() {  # names in order
  local expected got
  expected=$(printf '%s\n' "$@")
  got=$(saves_ok)
  [ "$got" = "$expected" ] || fail "saves in order: expected
$expected
got
$got"
  local name
  for name in "$@"; do
    [ -s "$SAVE/$name.bmp" ] || fail "no image $SAVE/$name.bmp"
  done
  local count
  count=$(find "$SAVE" -name '*.bmp' | wc -l)
  [ "$count" -eq $# ] || fail "$count images in $SAVE, expected $#"
}

# No modifier or other key left down, and no X protocol error reported by Quorvel.
expect_clean_finish() {
  "$X11_PROBE" held-keys >"$WORK/held" || fail "keys left held down: $(cat "$WORK/held")"
  if grep -E -q "Bad(Window|Match|Value|Atom|Access)" "$QUORVEL_OUT" 2>/dev/null; then
    fail "X errors: $(grep -E "Bad(Window|Match|Value|Atom|Access)" "$QUORVEL_OUT")"
  fi
}

# The keys the stand-in's windows receive for each page in Full Auto.
final_button_keys() {  # pages
  local i j
  for ((i = 0; i < $1; i++)); do
    for ((j = 0; j < 13; j++)); do echo "{TAB}"; done
    echo "%n"
  done
}
enters() { local i; for ((i = 0; i < $1; i++)); do echo "{ENTER}"; done; }
name_keys() {  # with-save name...: %n, the name's characters, and %s in Full Auto
  local save=$1 name
  shift
  for name in "$@"; do
    echo "%n"
    printf '%s' "$name" | grep -o .
    [ "$save" = 1 ] && echo "%s"
  done
  return 0
}

# The names typed on a German (QWERTZ) and a French (AZERTY) layout.
LAYOUT_NAMES=("page008" "Zürich-Ä_1" "scan (2) 50%" "été")
use_layout() {  # the desktop's keyboard layout, until the case ends
  setxkbmap "$1" || fail "no layout $1"
  LAYOUT_CHANGED=1
}

# With the scanning application and Quorvel started, the layout names twice in Quorvel's queue
# file: the operator takes them up and presses ENABLE (the first click leaves the seed filename
# and opens the picker; the second asks whether to start though each name comes twice), and a
# Full Auto series types them on the German layout, then on the French one, to which the desktop
# is switched while the series runs.
series_across_layouts() {  # command: succeeds once the scanning application has N saves
  answer_question Return  # yes, the names back in the list
  use_layout de
  click_control "$QUORVEL_WIN" form StartCommand -1  # leaves the seed filename: the picker
  confirm_picker
  click_control "$QUORVEL_WIN" form StartCommand -1
  answer_question Tab space  # yes, though each name comes twice
  wait_for 120 "four saves on the German layout" "$1" 4
  use_layout fr
  wait_for 120 "four more on the French layout" "$1" 8
}

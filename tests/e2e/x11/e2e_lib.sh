# Shared by the end-to-end cases: a private folder; the programs under test started and always
# stopped; checks of the stand-in's log (tools/scanner-sim/event_log.h) and of Quorvel's journal.
# QUORVEL_BIN is the Linux program or Quorvel.exe, SCANNER_SIM and FOCUS_THIEF the X11 stand-ins or
# the Win32 ones: a program whose name ends in .exe runs under Wine (in WINEPREFIX).
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
JOURNAL="$SAVE/quorvel-journal.csv"
QUORVEL_OUT="$WORK/quorvel.out"  # the Linux program's status steps, or what Wine says
TOOLS_OUT="$WORK/tools.out"
mkdir -p "$SAVE" "$WORK/bin"
: >"$SIM_LOG"
: >"$THIEF_LOG"
PIDS=()
OWN_XSERVER=0

fail() {
  echo "FAILED: $*" >&2
  local log
  for log in "$QUORVEL_OUT" "$JOURNAL" "$SIM_LOG" "$THIEF_LOG" "$TOOLS_OUT"; do
    [ -s "$log" ] && { echo "--- $(basename "$log"):" && cat "$log"; } >&2
  done
  print_x_logs >&2
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

on_wine() { [[ $1 == *.exe ]]; }  # program
# Becomes the program, run under Wine when it is one; SCANNER_LANG is the locale of Wine's.
launch() {  # program arguments...
  if on_wine "$1"; then
    exec env ${SCANNER_LANG:+LANG=$SCANNER_LANG LC_ALL=$SCANNER_LANG} "$WINE" "$@"
  fi
  exec "$@"
}
path_for() { if on_wine "$1"; then printf 'Z:%s' "${2//\//\\}"; else printf '%s' "$2"; fi; }

# A fresh stand-in, saving into the save folder, with a fresh log.
SCANNER_PID=""
start_scanner() {  # options after --folder and --log
  : >"$SIM_LOG"
  (launch "$SCANNER_SIM" --folder "$(path_for "$SCANNER_SIM" "$SAVE")" \
    --log "$(path_for "$SCANNER_SIM" "$SIM_LOG")" "$@" >>"$TOOLS_OUT" 2>&1) &
  SCANNER_PID=$!
  PIDS+=($!)
  wait_for 60 "the stand-in's main window" shown "DeskScan II"
}
stop_scanner() {
  kill "$SCANNER_PID"
  wait "$SCANNER_PID" 2>/dev/null || true
  wait_for 10 "the stand-in to go" gone "DeskScan II"
}

start_thief() {  # options after --log
  (launch "$FOCUS_THIEF" --log "$(path_for "$FOCUS_THIEF" "$THIEF_LOG")" "$@" >>"$TOOLS_OUT" 2>&1) &
  PIDS+=($!)
}

# A copy of Quorvel, with the Wine helpers built beside the Linux program, its settings file
# beside it and a pause of `delay` ms after each save, started in the save folder, which the
# picker then offers first (in QUORVEL_CWD when set).
install_quorvel() {  # delay
  QUORVEL_COPY="$WORK/bin/$(basename "$QUORVEL_BIN")"
  cp "$QUORVEL_BIN" $(compgen -G "$(dirname "$QUORVEL_BIN")/quorvel-wine-front*.exe") "$WORK/bin/"
  printf "' settings for the test\r\ntop=300\r\nleft=300\r\ndelay=%s\r\n" "$1" >"$WORK/bin/Quorvel.ini"
}
run_quorvel() {  # options
  (cd "${QUORVEL_CWD:-$SAVE}" && launch "$QUORVEL_COPY" "$@" >>"$QUORVEL_OUT" 2>&1) &
  QUORVEL_PID=$!
  PIDS+=($!)
  find_quorvel
}
start_quorvel() {  # delay options...
  install_quorvel "$1"
  run_quorvel "${@:2}"
}

# --- the stand-in's log; a log that is not there fails the case, even where a count of 0 is the
# expectation (in a $(...), the message is printed and the count left empty)
log_of() { [ -f "$1" ] || fail "no log $1"; cat "$1"; }
sim_log() { local log; log=$(log_of "$SIM_LOG") && awk -F '\t' "$@" <<<"$log"; }  # awk arguments
count_of() {  # event [last field]: how many lines
  sim_log -v e="$1" -v d="${2:-}" '$1 == e && (d == "" || $NF == d) { n++ } END { print n + 0 }'
}
keys_of() { sim_log -v t="$1" '$1 == "key" && $2 == t { print $3 }'; }  # window title
saves() { sim_log -v r="$1" '$1 == "save" && $3 == r { print $2 }'; }
at_least() { [ "$("${@:2}")" -ge "$1" ]; }  # count command...
# --- the desktop through the X11 port, as the probe sees it and sends to it
census() { "$X11_PROBE" census 2>/dev/null | cut -f2; }  # the titles, topmost first
in_census() { census | grep -qx -- "$1"; }
send() { "$X11_PROBE" send "$@" >"$WORK/send.out" 2>&1; }  # title keys...

# --- Quorvel's journal: the names of one event's lines, in order, or their count
journal_awk() { local log; log=$(log_of "$JOURNAL") && tr -d '\r' <<<"$log" | awk -F, "$@"; }
journal() { journal_awk -v e="$1" '$2 == e { print $3 }'; }
journal_count() { journal_awk -v e="$1" '$2 == e { n++ } END { print n + 0 }'; }
journal_is() { [ "$(journal "$1")" = "$2" ]; }  # event names-one-per-line

# --- expectations
expect_keys() {  # window-title expected-keys-one-per-line
  local got
  got=$(keys_of "$1")
  [ "$got" = "$2" ] || fail "keys received by \"$1\":
$(diff <(echo "$2") <(echo "$got") || true)"
}

# Saved once each, in this order, and no other image in the folder.
expect_files() {  # names
  local expected got name
  expected=$(printf '%s\n' "$@")
  got=$(saves ok)
  [ "$got" = "$expected" ] || fail "saves in order: expected
$expected
got
$got"
  for name in "$@"; do [ -s "$SAVE/$name.bmp" ] || fail "no image $SAVE/$name.bmp"; done
  [ "$(find "$SAVE" -name '*.bmp' | wc -l)" -eq $# ] || fail "images: $(ls "$SAVE")"
}

# Each page: one Enter for its box, thirteen Tabs and Alt+N for the main window.
expect_page_keys() {  # pages [box title]
  local box=${2:-DeskScan Error} enters="" main="" i j
  for ((i = 0; i < $1; i++)); do
    enters+="{ENTER}"$'\n'
    [ "$box" = "DeskScan II" ] && main+="{ENTER}"$'\n'
    for ((j = 0; j < 13; j++)); do main+="{TAB}"$'\n'; done
    main+="%n"$'\n'
  done
  [ "$box" = "DeskScan II" ] || expect_keys "$box" "${enters%$'\n'}"
  expect_keys "DeskScan II" "${main%$'\n'}"
}

# Each name into the dialog: Alt and its name key, the name, and Alt and its save key (or Enter).
name_keys() {  # name-key save-key|Enter names...
  local name_key=$1 save_key=$2 name
  shift 2
  for name in "$@"; do
    echo "%$name_key"
    printf '%s' "$name" | grep -o .
    if [ "$save_key" = Enter ]; then echo "{ENTER}"; else echo "%$save_key"; fi
  done
}

# No key reached a window but those named, neither in the stand-in's log nor, under Wine, in
# any other program's window.
expect_keys_only_in() {  # titles
  local elsewhere
  elsewhere=$(awk -F '\t' -v titles="$(printf '%s\n' "$@")" '
    BEGIN { n = split(titles, t, "\n"); for (i = 1; i <= n; i++) ok[t[i]] = 1 }
    ($1 == "key" || $1 == "stray") && !($2 in ok)' <(log_of "$SIM_LOG") <(log_of "$THIEF_LOG"))
  [ -z "$elsewhere" ] || fail "keys in other windows:
$elsewhere"
}

# No modifier or other key left down, and no X protocol error reported by Quorvel.
expect_clean_finish() {
  "$X11_PROBE" held-keys >"$WORK/held" || fail "keys left held down: $(cat "$WORK/held")"
  if grep -E -q "Bad(Window|Match|Value|Atom|Access)" "$QUORVEL_OUT" 2>/dev/null; then
    fail "X errors: $(grep -E "Bad(Window|Match|Value|Atom|Access)" "$QUORVEL_OUT")"
  fi
}

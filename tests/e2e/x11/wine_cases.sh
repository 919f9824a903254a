#!/usr/bin/env bash
# The X11 desktop port and the Linux program driving the Win32 stand-in scanning application
# under Wine, on the display it shares with them. Usage: wine_cases.sh CASE
#   names    names beyond ASCII typed into the real Save As dialog on the US, German and French
#            layouts, each saved under exactly that name
#   series   Quorvel itself through a Full Auto series of five names, one save failing
#   exe_layouts  the Windows program, Quorvel.exe, through a series on the German and the French
#            layout
# Needs WINE_SCANNER (the windows preset's deskscan-sim.exe), QUORVEL_EXE (its Quorvel.exe) and
# WINEPREFIX besides e2e_lib's.
source "$(dirname "$0")/e2e_lib.sh"
: "${WINE_SCANNER:?}" "${WINEPREFIX:?}"

WINE_OUT="$WORK/wine.out"
EXTRA_LOGS+=("$WINE_OUT")
TABS=()
for _ in $(seq 13); do TABS+=("{TAB}"); done

wine_path() { printf 'Z:%s' "${1//\//\\}"; }

start_wine_scanner() {  # options of deskscan-sim after --folder and --log
  /usr/lib/wine/wine64 "$WINE_SCANNER" --folder "$(wine_path "$SAVE")" \
    --log "$(wine_path "$SIM_LOG")" "$@" >"$WINE_OUT" 2>&1 &
  PIDS+=($!)
  wait_for 60 "the stand-in's main window" xdotool search --name '^DeskScan II$'
}

# --- the stand-in's log: "<ms> <event> <detail>"
events() { cut -d ' ' -f 2- "$SIM_LOG" 2>/dev/null; }
events_at_least() { [ "$(events | grep -c -- "^$2")" -ge "$1" ]; }  # count event
saves_at_least() { events_at_least "$1" "saved "; }
saved_names() { events | sed -n 's/^saved .*\\\(.*\)\.bmp$/\1/p'; }
typed_into() { events | sed -n "s/^char \[$1\] //p" | tr -d '\n'; }  # title: its characters

# Every key went to the stand-in's three windows, and its two own windows got exactly Enter in
# the error box and the thirteen Tabs and Alt+N of the final button, per page.
expect_keys_in_place() {  # pages
  local strays
  strays=$(events | grep '^key ' | grep -v -E '^key \[(DeskScan II|DeskScan Error|Save As)\] ' || true)
  [ -z "$strays" ] || fail "keys in other windows: $strays"
  local box main i
  box=$(for ((i = 0; i < $1; i++)); do echo "vk=0D"; done)
  main=$(for ((i = 0; i < $1; i++)); do printf 'vk=09\n%.0s' $(seq 13) && printf 'vk=12 alt\nvk=4E alt\n'; done)
  [ "$(events | sed -n 's/^key \[DeskScan Error\] //p')" = "$box" ] || fail "keys of the error box"
  [ "$(events | sed -n 's/^key \[DeskScan II\] //p')" = "$main" ] || fail "keys of the main window"
  [ "$(events | grep -c '^final-button focus=200$')" -eq "$1" ] || fail "the final button's focus"
}

names() {
  local layouts=(us de fr) names=("Zürich-Ä_1" "scan (2) 50%" "été")
  start_wine_scanner --pages 9 --scan-ms 300 --next-ms 300
  local layout name page=0
  for layout in "${layouts[@]}"; do
    setxkbmap "$layout" || fail "no layout $layout"
    for name in "${names[@]}"; do
      page=$((page + 1))
      wait_for 20 "the error box of page $page" events_at_least $page "error-box shown"
      wait_for 10 "the error box's window" xdotool search --onlyvisible --name '^DeskScan Error$'
      "$X11_PROBE" send "DeskScan II" "{ENTER}" >/dev/null || fail "Enter refused ($layout)"
      wait_for 10 "the box to close" events_at_least $page "error-box closed"
      "$X11_PROBE" send "DeskScan II" "${TABS[@]}" %n >/dev/null || fail "final button ($layout)"
      wait_for 10 "Save As" events_at_least $page "save-as shown"
      wait_for 10 "the dialog's window" xdotool search --onlyvisible --name '^Save As$'
      # Alt+S apart: the dialog is still up when the first delivery ends, so nothing but the
      # dialog's answer decides when the port gives back the keycodes it borrowed.
      "$X11_PROBE" send "Save As" %n "$name" >/dev/null || fail "\"$name\" refused ($layout)"
      "$X11_PROBE" send "Save As" %s >/dev/null || fail "Alt+S refused ($layout)"
      wait_for 10 "the save of \"$name\" ($layout)" events_at_least $page "saved"
      [ "$(saved_names | tail -1)" = "$name" ] ||
        fail "typed \"$name\" on $layout, saved \"$(saved_names | tail -1)\""
      [ -s "$SAVE/$name.bmp" ] || fail "no image $SAVE/$name.bmp"
    done
    echo "  $layout: ${#names[@]} names saved as typed"
  done
  expect_keys_in_place $page
  expect_clean_finish
}

series() {
  local names=(été-001 été-002 été-003 été-003 été-004 été-005)
  setxkbmap us
  start_wine_scanner --pages 6 --scan-ms 1000 --next-ms 1000 --fail-saves 3
  start_quorvel 1500
  set_up_series "été-" 0 3 5 0
  wait_for 150 "the end of the stand-in's series" events_at_least 1 "series done"
  # Two more ticks that find nothing to do: the series sends nothing after its last page.
  local idle
  idle=$(count_lines "$QUORVEL_OUT" "Waiting for Error")
  wait_for 20 "two idle ticks" steps_at_least $((idle + 2)) "Waiting for Error"
  [ "$(saved_names | tr '\n' ' ')" = "été-001 été-002 été-003 été-004 été-005 " ] ||
    fail "saves: $(saved_names | tr '\n' ' ')"
  events | grep -q '^save-failed .*\\été-003\.bmp$' || fail "the failed save is not in the log"
  [ "$(find "$SAVE" -name '*.bmp' | wc -l)" -eq 5 ] || fail "images: $(ls "$SAVE")"
  [ "$(typed_into "Save As")" = "$(printf '%s' "${names[@]}")" ] ||
    fail "typed into Save As: $(typed_into "Save As")"
  [ "$(events | grep -c '^syschar \[Save As\] [ns]$')" -eq 12 ] || fail "Alt+N and Alt+S"
  expect_keys_in_place 6
  expect_clean_finish
}

exe_layouts() {
  # Quorvel.exe under Wine, which takes its keyboard layout from the X server, on the German and
  # then the French layout.
  local names=("${LAYOUT_NAMES[@]}" "${LAYOUT_NAMES[@]}")
  QUORVEL_BIN=$QUORVEL_EXE QUORVEL_RUNNER=/usr/lib/wine/wine64
  start_wine_scanner --pages 8 --scan-ms 1000 --next-ms 1000
  mkdir -p "$WORK/bin"
  write_queue "$WORK/bin" "$(wine_path "$SAVE")" "${names[@]}"
  start_quorvel 1500
  series_across_layouts saves_at_least
  [ "$(saved_names)" = "$(printf '%s\n' "${names[@]}")" ] || fail "saves: $(saved_names)"
  [ "$(typed_into "Save As")" = "$(printf '%s' "${names[@]}")" ] ||
    fail "typed into Save As: $(typed_into "Save As")"
  [ "$(events | grep -c '^syschar \[Save As\] [ns]$')" -eq 16 ] || fail "Alt+N and Alt+S"
  expect_keys_in_place 8
  expect_clean_finish
}

case "${1:-}" in
  names | series | exe_layouts) "$1" ;;
  *)
    echo "usage: $0 names|series|exe_layouts" >&2
    exit 2
    ;;
esac
echo "passed: wine $1"

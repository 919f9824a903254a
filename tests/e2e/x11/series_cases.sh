#!/usr/bin/env bash
# Quorvel driving the stand-in scanning application on a real X display, operated as a person
# would. Usage: series_cases.sh CASE (full_auto, error_only, error_and_save_as, stop, resend,
# focus_theft, layouts).
source "$(dirname "$0")/e2e_lib.sh"

NAMES5=(page001 page002 page003 page004 page005)
STEPS_DONE="Sent filename & CR"

full_auto() {
  # Five names; the sixth scan finds the list empty and ends the series.
  start_scanner --pages 6 --first-scan-ms 1000 --scan-ms 1000
  start_quorvel 1500
  set_up_series page 0 3 5 0
  wait_for 90 "five saves" has_saves 5
  wait_for 20 "the sixth Save As" steps_at_least 6 "Found Save As"
  sleep 3  # the stop at the end of the list sends nothing more
  expect_files "${NAMES5[@]}"
  expect_keys "DeskScan Error" "$(enters 6)"
  expect_keys "DeskScan II" "$(final_button_keys 6)"
  expect_keys "Save As" "$(name_keys 1 "${NAMES5[@]}")"
  [ "$(count_lines "$QUORVEL_OUT" "$STEPS_DONE")" -eq 5 ] || fail "five sends expected"
  [ "$(count_lines "$QUORVEL_OUT" "First Save in Series")" -eq 1 ] || fail "one first save"
  expect_clean_finish
}

error_only() {
  # Quorvel closes each error box and nothing else; the operator saves by hand.
  start_scanner --pages 2 --first-scan-ms 1000 --scan-ms 1000
  start_quorvel 1500
  set_up_series page 0 3 5 1
  local page
  for page in 1 2; do
    wait_for 20 "the error box of page $page to be closed" keys_at_least $page "DeskScan Error"
    "$X11_PROBE" send "DeskScan II" %n >/dev/null || fail "the operator's Next"
    wait_for 10 "Save As" xdotool search --name '^Save As$'
    "$X11_PROBE" send "Save As" %n "hand$page" %s >/dev/null || fail "the operator's save"
    wait_for 10 "the operator's save" has_saves $page
  done
  sleep 3
  expect_keys "DeskScan Error" "$(enters 2)"
  expect_keys "DeskScan II" "$(printf '%%n\n%%n')"
  expect_files hand1 hand2
  grep -q "Clicking Final Button" "$QUORVEL_OUT" && fail "the final button was pressed"
  expect_clean_finish
}

error_and_save_as() {
  # Quorvel types each name; the stand-in's operator presses Save.
  start_scanner --pages 3 --first-scan-ms 1000 --scan-ms 1000 --operator-saves-after-ms 800
  start_quorvel 1500
  set_up_series scan 7 2 3 2
  wait_for 60 "three saves" has_saves 3
  sleep 1
  expect_files scan08 scan09 scan10
  expect_keys "DeskScan Error" "$(enters 3)"
  expect_keys "DeskScan II" "$(final_button_keys 3)"
  expect_keys "Save As" "$(name_keys 0 scan08 scan09 scan10)"
  [ "$(count_lines "$QUORVEL_OUT" "Sent filename$")" -eq 3 ] || fail "three sends expected"
  expect_clean_finish
}

stop() {
  start_scanner --pages 6 --first-scan-ms 1000 --scan-ms 1000
  start_quorvel 1500
  set_up_series page 0 3 5 0
  wait_for 60 "two saves" has_saves 2
  click_control "$QUORVEL_WIN" form StopCommand -1
  sleep 0.5
  local keys_at_stop
  keys_at_stop=$(grep -c '^key' "$SIM_LOG")
  sleep 8  # three ticks and more: a running series would have handled the next page
  [ "$(grep -c '^key' "$SIM_LOG")" -eq "$keys_at_stop" ] || fail "keys were sent after Stop!"
  expect_files page001 page002
  expect_clean_finish
}

resend() {
  # The second save writes nothing: the next dialog gets the same name again.
  start_scanner --pages 5 --first-scan-ms 1000 --scan-ms 1000 --fail-saves 2
  start_quorvel 1500
  set_up_series page 0 3 3 0
  wait_for 90 "three saves" has_saves 3
  sleep 3
  expect_files page001 page002 page003
  expect_keys "Save As" "$(name_keys 1 page001 page002 page002 page003)"
  grep -q $'^save\tpage002\tfailed' "$SIM_LOG" || fail "the failed save is not in the log"
  expect_clean_finish
}

focus_theft() {
  # Twice, a terminal takes the focus the moment Quorvel activates the stand-in's windows, and
  # takes it back whenever it leaves for a second and a half.
  start_thief --times 2 --hold-ms 1500
  start_scanner --pages 4 --first-scan-ms 1000 --scan-ms 1000
  start_quorvel 1500
  set_up_series page 0 3 3 0
  wait_for 90 "three saves" has_saves 3
  sleep 3
  [ "$(count_lines "$THIEF_LOG" '^steal')" -eq 2 ] || fail "the thief should have struck twice"
  echo "deliveries refused while the focus was away: $((
    $(count_lines "$QUORVEL_OUT" "Found Error Message") - $(count_lines "$QUORVEL_OUT" "Closed Error Message") +
    $(count_lines "$QUORVEL_OUT" "Found Save As") - $(count_lines "$QUORVEL_OUT" "Sent filename") +
    $(count_lines "$QUORVEL_OUT" "Clicking Final Button") - 4))"
  grep -q '^key' "$THIEF_LOG" && fail "keys reached the thief: $(grep '^key' "$THIEF_LOG")"
  expect_files page001 page002 page003
  expect_keys "DeskScan Error" "$(enters 4)"
  expect_keys "DeskScan II" "$(final_button_keys 4)"
  expect_keys "Save As" "$(name_keys 1 page001 page002 page003)"
  expect_clean_finish
}

layouts() {
  # The names typed exactly, and the final button's keys, Alt+N and Alt+S in their places, on a
  # German and then a French layout.
  local names=("${LAYOUT_NAMES[@]}" "${LAYOUT_NAMES[@]}")
  start_scanner --pages 8 --first-scan-ms 1000 --scan-ms 1000
  mkdir -p "$WORK/bin"
  write_queue "$WORK/bin" "$SAVE" "${names[@]}"
  start_quorvel 1500
  series_across_layouts has_saves
  [ "$(saves_ok)" = "$(printf '%s\n' "${names[@]}")" ] || fail "saves: $(saves_ok)"
  expect_keys "DeskScan Error" "$(enters 8)"
  expect_keys "DeskScan II" "$(final_button_keys 8)"
  expect_keys "Save As" "$(name_keys 1 "${names[@]}")"
  expect_clean_finish
}

case "${1:-}" in
  full_auto | error_only | error_and_save_as | stop | resend | focus_theft | layouts) "$1" ;;
  *)
    echo "usage: $0 full_auto|error_only|error_and_save_as|stop|resend|focus_theft|layouts" >&2
    exit 2
    ;;
esac
echo "passed: $1"

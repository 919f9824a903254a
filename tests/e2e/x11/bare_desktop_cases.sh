#!/usr/bin/env bash
# The X11 desktop port on a desktop with no window manager: it activates windows itself, and an
# activation of a window that has a modal box open gives the box the keys, as a window manager
# would. Nothing typed for the main window may land in it while its box is up.
E2E_DESKTOP=bare
source "$(dirname "$0")/e2e_lib.sh"


window_manager_running && fail "a window manager runs on the bare display $DISPLAY"
start_scanner --pages 2 --first-scan-ms 500 --scan-ms 800

for page in 1 2; do
  wait_for 10 "the error box of page $page" in_census "DeskScan Error"
  send "DeskScan II" "{ENTER}" || fail "Enter refused: $(cat "$WORK/send.out")"
  wait_for 5 "the error box to close" bash -c "! '$X11_PROBE' census 2>/dev/null | grep -q 'DeskScan Error'"
  tabs=()
  for _ in $(seq 13); do tabs+=("{TAB}"); done
  send "DeskScan II" "${tabs[@]}" %n || fail "final button refused: $(cat "$WORK/send.out")"
  wait_for 5 "Save As" in_census "Save As"
  # Addressed to the main window, the name reaches the modal Save As dialog it has open.
  send "DeskScan II" %n "bare$page" %s || fail "name refused: $(cat "$WORK/send.out")"
  wait_for 5 "the save of page $page" at_least "$page" count_of save ok
done

expect_files bare1 bare2
expect_page_keys 2
expect_keys "Save As" "$(name_keys n s bare1 bare2)"
expect_clean_finish
echo "bare desktop: 2 pages, every key in the window that held the input"

#!/usr/bin/env bash
# Quorvel driving a stand-in scanning application on a real X display, operated as a person
# would; the same cases for the Linux program and for Quorvel.exe under Wine, against the X11
# stand-in or the Win32 one under Wine (e2e_lib.sh). The operator's list is the user's: "page",
# seed number 7, +1, pad 3: page008, page009, ... Usage: series_cases.sh CASE [ARGUMENT]
source "$(dirname "$0")/e2e_lib.sh"

names() { local i; for ((i = 8; i < 8 + $1; i++)); do printf '%s%03d\n' "${2:-page}" "$i"; done; }
done_pages() { wait_for "$1" "the stand-in's last page" at_least 1 count_of done; }
scan() { start_series 0 && start_scanner "$@" && done_pages 150; }  # Full Auto; scanner arguments
# A case that cannot run for this program says why and ends with 77, counted as skipped.
skip() { echo "skipped: $*"; exit 77; }
# The operator's list of `count` names in `list`, and Quorvel started with a pause of 1.5 s and
# the arguments given, the list created in it.
begin() {  # count [quorvel arguments...]
  mapfile -t list < <(names "$1")
  start_quorvel 1500 "${@:2}"
  prepare_list page 7 3 "$1"
}
# The list's images saved in order; as many error boxes closed and final buttons pressed as
# pages; each name typed into the dialog once, and no key in any other window.
expect_series() {  # pages [dialog title] [name key] [save key|Enter]
  local title=${2:-Save As}
  expect_files "${list[@]}"
  expect_page_keys "$1"
  expect_keys "$title" "$(name_keys "${3:-n}" "${4:-s}" "${list[@]}")"
  expect_keys_only_in "DeskScan Error" "DeskScan II" "$title"
  expect_clean_finish
}

# The user's setup: a pause of 3 s, five names, an error box titled as the main window, series
# back to back (QUORVEL_SERIES, 1 unless set) with Quorvel running throughout: Stop!, the images
# filed away, the list created again, ENABLE. The Win32 stand-in's odd series use the dialog of
# the ANSI API, the even ones the wide one.
full_auto() {
  local count=${QUORVEL_SERIES:-1} series start variant
  mapfile -t list < <(names 5)
  start_quorvel 3000
  prepare_list page 7 3 5
  for ((series = 1; series <= count; series++)); do
    if ((series > 1)); then
      click StopCommand
      wait_for 10 "Stop!" at_least $((series - 1)) journal_count stop
      mkdir "$WORK/filed$series" && mv "$SAVE"/*.bmp "$WORK/filed$series/"
      click CreateCommand
    fi
    start=$SECONDS
    start_series 0
    wait_for 10 "ENABLE" at_least "$series" journal_count start
    variant=()
    on_wine "$SCANNER_SIM" && ((series % 2)) && variant=(--ansi)
    start_scanner --pages 5 --box-title "DeskScan II" "${variant[@]}"
    done_pages 150
    expect_files "${list[@]}"
    expect_page_keys 5 "DeskScan II"
    expect_keys "Save As" "$(name_keys n s "${list[@]}")"
    expect_keys_only_in "DeskScan II" "Save As"
    gone Quorvel || fail "a message from Quorvel: $(xdotool search --name '^Quorvel$' getwindowname)"
    stop_scanner
    echo "series $series of $count ${variant[*]}: $((SECONDS - start)) s"
  done
  expect_clean_finish
}

# The second save writes nothing: its name goes again. The dialog after the last name finds the
# list used up: the series stops and says so.
failed_save() {
  begin 3
  start_series 0
  start_scanner --pages 5 --fail-saves 2
  wait_for 150 "the end of the list" at_least 1 journal_count end
  expect_files "${list[@]}"
  [ "$(saves failed)" = "${list[1]}" ] || fail "the failed save is not in the log"
  expect_page_keys 5
  expect_keys "Save As" "$(name_keys n s "${list[0]}" "${list[1]}" "${list[@]:1}")"
  [ "$(journal sent | tr '\n' ' ')" = "${list[0]} ${list[1]} ${list[*]:1} " ] ||
    fail "names sent: $(journal sent)"
  [ "$(journal missing)" = "${list[1]}" ] || fail "missing: $(journal missing)"
  [ "$(journal saved)" = "$(printf '%s\n' "${list[@]}")" ] || fail "saved: $(journal saved)"
  wait_for 10 "the message at the end of the series" shown Quorvel
  expect_keys_only_in "DeskScan Error" "DeskScan II" "Save As"
  expect_clean_finish
}

# A bystander takes the focus when Quorvel activates the scanning application's windows. It is
# titled as the French save dialog, and the stand-in's dialog as the German one: only the dialog
# that the scanning application owns counts as its save dialog.
focus_theft() {
  begin 3
  start_series 0
  if on_wine "$FOCUS_THIEF"; then
    start_thief --title Enregistrer --steal-from "Speichern als" --delay-ms 0 --hold-ms 6000
  else
    start_thief --title Enregistrer --times 2 --hold-ms 1500 --steal-from DeskScan \
      --steal-from "Speichern als"
  fi
  wait_for 30 "the thief's window" shown Enregistrer
  start_scanner --pages 3 --dialog-title "Speichern als"
  done_pages 150
  grep -q '^steal' "$THIEF_LOG" || fail "the thief never took the focus"
  echo "the thief took the focus $(grep -c '^steal' "$THIEF_LOG") times"
  expect_series 3 "Speichern als"
}

# Quorvel closes each error box and nothing else; the operator goes on by hand.
error_only() {
  start_quorvel 1500
  prepare_list page 7 3 3
  start_series 1
  start_scanner --pages 2
  local page
  for page in 1 2; do
    wait_for 30 "the error box of page $page to be closed" at_least $page count_of box closed
    "$X11_PROBE" send "DeskScan II" %n >/dev/null || fail "the operator's Next"
    wait_for 10 "Save As" shown "Save As"
    "$X11_PROBE" send "Save As" %n "hand$page" %s >/dev/null || fail "the operator's save"
    wait_for 10 "the operator's save" at_least $page count_of save ok
  done
  expect_keys "DeskScan Error" "$(printf '{ENTER}\n{ENTER}')"
  expect_keys "DeskScan II" "$(printf '%%n\n%%n')"
  expect_files hand1 hand2
  [ "$(journal_count sent)" -eq 0 ] || fail "Quorvel sent names: $(journal sent)"
  expect_clean_finish
}

# Quorvel types each name; the operator presses Save.
error_and_save_as() {
  begin 3
  start_series 2
  start_scanner --pages 3
  local page
  for page in 1 2 3; do
    wait_for 30 "name $page typed" at_least $page journal_count sent
    "$X11_PROBE" send "Save As" %s >/dev/null || fail "the operator's save"
    wait_for 10 "the operator's save" at_least $page count_of save ok
  done
  expect_series 3
}

# A name of the list already has an image: ENABLE asks first, and No (the default) starts
# nothing. Stop! then finds no series to stop, and ENABLE asks again; Yes starts the one series.
collision() {
  start_quorvel 1500
  prepare_list page 7 3 5
  printf 'BM' >"$SAVE/page009.bmp"
  start_scanner --pages 1
  wait_for 30 "the error box" at_least 1 count_of box shown
  start_series 0
  answer_question Return
  click StopCommand
  click StartCommand
  answer_question Return
  [ "$(count_of key)" -eq 0 ] || fail "keys reached the stand-in"
  [ "$(cat "$SAVE/page009.bmp")" = BM ] || fail "the image was replaced"
  expect_keys_only_in Quorvel
  click StartCommand
  answer_question Tab space
  wait_for 10 "the series Yes started" at_least 1 journal_count start
  [ "$(journal_count start)$(journal_count stop)" = 10 ] || fail "a No started a series"
}

# The series is cut short by killing Quorvel once the second image is saved; started again from
# its own folder, as a shortcut does, it offers the names left, the picker opens on their save
# folder, and they are saved there, each once.
resume() {
  begin 5
  start_series 0
  start_scanner --pages 5
  wait_for 60 "two pages saved" at_least 2 count_of save ok
  wait_for 10 "the second name sent" at_least 2 journal_count sent
  kill -KILL "$QUORVEL_PID"
  wait_for 10 "Quorvel to go" gone "$QUORVEL_TITLE"
  QUORVEL_CWD="$WORK/bin" run_quorvel
  answer_question Return
  wait_for 10 "the names put back from ${list[2]}" journal_is resume "${list[2]}"
  click StartCommand  # the focus leaves the seed filename: the picker comes first
  confirm_picker
  click StartCommand
  done_pages 150
  expect_files "${list[@]}"
  expect_page_keys 5
  expect_keys "Save As" "$(name_keys n s "${list[@]}")"
  expect_keys_only_in "DeskScan Error" "DeskScan II" "Save As" Quorvel
}

# The save folder's file server keeps another time: the stand-in stamps each image it saves that
# many seconds off this computer's clock. Each name is typed once, and the series ends.
clock_skew() {  # seconds
  begin 3
  start_series 0
  start_scanner --pages 4 --clock-offset "$1"
  wait_for 150 "the end of the list" at_least 1 journal_count end
  # The last image is stamped on the offset's side of now, by a third of the offset at least.
  local skew
  skew=$(($(stat -c %Y "$SAVE/${list[2]}.bmp") - $(date +%s)))
  ((skew * 3 * $1 >= $1 * $1)) || fail "the last image is stamped $skew s from now"
  expect_series 4
}
clock_behind() { clock_skew -30; }
clock_ahead() { clock_skew 30; }

# The save folder is a mount whose server goes away for 60 s as the second page is being saved
# (hanging_folder.py): the scanning application waits on its save, Quorvel on nothing. Meanwhile
# its window draws again once uncovered, the stall alert names the folder, Stop! clears the
# highlighted status line and the alert within 0.5 s, a second Stop! finds no series running, and
# ENABLE asks within 0.5 s before it starts, as it cannot tell whether images would be replaced;
# Yes shows a status line at the next tick of Timer1 (every 2.5 s). Once the folder answers, every
# page is saved once, and the journal holds every line in order. Then it hangs again: EXIT closes
# the window within 1 s (the process goes once its stuck call comes back: FUSE holds a call its
# server has taken), and the next start writes the journal lines kept beside the settings. Under
# Wine the folder is Q:\scans, the drive Q: mapped to it.
folder_hang() {
  local flag="$WORK/hang" folder=$SAVE alert="Quorvel: the scan series has stalled"
  trap 'rm -f "$WORK/hang"; fusermount3 -u -z "$SAVE"; rm -f "${WINEPREFIX:-}/dosdevices/q:"; cleanup' EXIT
  mkdir "$WORK/disk"
  (exec /usr/bin/python3 "$E2E_DIR/hanging_folder.py" "$WORK/disk" "$SAVE" "$flag" page009 60 >>"$TOOLS_OUT" 2>&1) &
  PIDS+=($!)
  wait_for 10 "the mount" grep -q " $SAVE fuse" /proc/mounts
  on_wine "$QUORVEL_BIN" && ln -sfn "$WORK" "$WINEPREFIX/dosdevices/q:" && folder='Q:\scans'
  JOURNAL="$WORK/disk/quorvel-journal.csv"
  begin 3 --stall-after 20
  start_series 0
  start_scanner --pages 4
  wait_for 60 "the folder to hang" test -e "$flag"
  wait_for 60 "the stall alert" shown "$alert"
  xdotool windowminimize "$QUORVEL_WIN"
  wait_for 10 "the window to be hidden" status_is -1
  activate "$QUORVEL_WIN"
  wait_for 5 "the window drawn again" status_is 0
  timed 500 "Stop! closing the alert and the status line" StopCommand gone_and_status "$alert" -1
  click StopCommand
  timed 500 "ENABLE asking first" StartCommand shown Quorvel
  answer_question Tab space
  wait_for 3 "the status line of the next tick" status_is 0
  [ -e "$flag" ] || fail "the folder answered again before Stop! and ENABLE were tried"
  wait_for 70 "the folder to answer again" test ! -e "$flag"
  wait_for 150 "the end of the list" at_least 1 journal_count end
  answer_question Return
  expect_files "${list[@]}"
  expect_page_keys 4
  expect_keys "Save As" "$(name_keys n s "${list[@]}")"
  [ "$(journal_awk 'NR > 1 { printf "%s:%s ", $2, $3 }')" = "start: sent:${list[0]} saved:${list[0]} sent:${list[1]} \
stall:${list[1]} stop: start: stall: sent:${list[2]} saved:${list[2]} recovered: end: " ] ||
    fail "the journal's lines: $(journal_awk '{ print $2, $3 }')"
  grep -qF "the save folder does not answer: $folder" "$JOURNAL" || fail "the folder not named"
  touch "$flag"
  click CreateCommand
  click StartCommand
  answer_question Tab space
  wait_for 10 "ENABLE during the second hang" status_is 0
  timed 1000 "EXIT closing the window" ExitCommand gone "$QUORVEL_TITLE"
  [ -s "$WORK/bin/Quorvel.unwritten" ] && rm "$flag" || fail "no journal lines kept"
  wait_for 30 "Quorvel to end" bash -c "! ps -o stat= -p $QUORVEL_PID | grep -qv Z"
  run_quorvel
  wait_for 10 "the kept lines" at_least 3 journal_count start
  [ ! -e "$WORK/bin/Quorvel.unwritten" ] || fail "the kept lines are still kept"
}
status_is() { [ "$("$X11_PROBE" status "$QUORVEL_WIN")" = "$1" ]; }  # highlighted line
gone_and_status() { gone "$1" && status_is "$2"; }  # window line
timed() {  # ms what button check...: from the click to the check true, looked at without a pause
  local start ms rect
  read -r -a rect <<<"$(control_rect form "$3" -1)"
  activate "$QUORVEL_WIN"
  xdotool mousemove --window "$QUORVEL_WIN" $((rect[0] + rect[2] / 2)) $((rect[1] + rect[3] / 2))
  start=$(date +%s%N)
  xdotool click 1
  until "${@:4}" >/dev/null 2>&1; do
    (($(date +%s%N) - start < 5000000000)) || fail "timed out after 5 s waiting for $2"
  done
  ms=$((($(date +%s%N) - start) / 1000000))
  echo "$2: $ms ms during the hang"
  ((ms <= $1)) || fail "$2 took $ms ms, more than $1"
}

# The save folder's disk fills during a Full Auto series: a file system of 85 blocks of 4 KiB,
# pages of 26 blocks. Before the second name it has room for two more pages, and the notice says
# so, once. The fourth page does not fit (the Win32 stand-in leaves the part that did); after the fifth scan the scanning application shows a
# box nobody foresaw and keeps it. Quorvel waits, and after the stall time its alert comes up
# without taking the focus from the box.
disk_full() {
  mount -t tmpfs -o size=340k quorvel-disk "$SAVE" || skip "no tmpfs to be mounted"
  trap 'umount -l "$SAVE"; cleanup' EXIT
  local jam alert="Quorvel: the scan series has stalled"
  begin 5 --stall-after 20
  start_scanner --pages 5 --jam-page 5 --image-bytes 102400
  start_series 0
  wait_for 60 "the jam" shown "Paper Jam"
  jam=$(shown "Paper Jam" | head -1)
  activate "$jam"
  gone "$alert" || fail "the alert came before the box had the focus"
  wait_for 30 "the stall alert" shown "$alert"
  wait_for 10 "the window manager to take the alert in" \
    bash -c "xprop -root _NET_CLIENT_LIST | grep -q $(printf '0x%x' "$(shown "$alert" | head -1)")"
  is_active "$jam" || fail "the alert took the focus: $(xdotool getactivewindow getwindowname)"
  expect_page_keys 4
  expect_keys_only_in "DeskScan Error" "DeskScan II" "Save As"
  [ "$(saves ok | tr '\n' ' ')$(saves failed)" = "${list[*]:0:3} ${list[3]}" ] ||
    fail "saves: $(grep '^save' "$SIM_LOG")"
  [ "$(journal_awk 'NR > 1 { printf "%s ", $2 }')" = "start sent saved room sent saved sent saved \
sent stall " ] || fail "the journal's lines: $(journal_awk '{ print $2, $3 }')"
  grep -qF ",room,,$(path_for "$QUORVEL_BIN" "$SAVE"),$((58 * 4096)),The disk of the save folder has room for about 2 more pages." \
    "$JOURNAL" || fail "the notice: $(journal_awk '$2 == "room"')"
}

# The Win32 stand-in under Wine in another language, its save dialog titled by the system.
# "table": Quorvel finds the dialog as it is; "options": the dialog has a title of its own that
# no table holds, and Quorvel is told it and the dialog's keys on its command line.
foreign_dialog() {  # language (fr_FR, de_DE, es_ES) table|options
  local title keys
  case $1 in
    fr_FR) title=Enregistrer keys=(n e) ;;
    de_DE) title="Speichern als" keys=(n s) ;;
    es_ES) title="Guardar como" keys=(a g) ;;
    *) fail "no such language $1" ;;
  esac
  local dialog=(--system-title) quorvel=()
  if [ "$2" = options ]; then
    title="Seite scannen"
    dialog=(--dialog-title "$title")
    quorvel=(--save-as-title "$title" --name-key "${keys[0]}" --save-key "${keys[1]}")
  fi
  begin 5 "${quorvel[@]}"
  SCANNER_LANG=$1.UTF-8 scan --pages 5 "${dialog[@]}"
  expect_series 5 "$title" "${keys[@]}"
}

# Quorvel.exe beside another program's "Open" dialog that stops answering, as one browsing an
# unreachable network drive does. "behind": it stands on the desktop and every page is saved.
# "front": it takes the foreground from the first error box, and keeps it: no key goes anywhere,
# the stall alert comes after the stall time and names it, and Stop! and EXIT are answered.
hung_dialog() {  # behind|front
  on_wine "$QUORVEL_BIN" || skip "Quorvel.exe only"
  local hung_log="$WORK/hung.log" stall_after=12 dialog enabled ms
  dialog=("$(dirname "$SCANNER_SIM")/hung-dialog.exe" --log "$(path_for "$SCANNER_SIM" "$hung_log")")
  [ "$1" = front ] && dialog+=(--front-when "DeskScan Error")
  begin 3 --stall-after "$stall_after"
  (launch "${dialog[@]}" >>"$TOOLS_OUT" 2>&1) &
  PIDS+=($!)
  wait_for 30 "the dialog" shown Open
  [ "$1" = behind ] && wait_for 10 "the dialog to hang" grep -q '^hung' "$hung_log"
  start_series 0
  wait_for 10 "ENABLE" at_least 1 journal_count start
  enabled=$SECONDS
  start_scanner --pages 3
  if [ "$1" = behind ]; then
    done_pages 150
    expect_series 3
    return
  fi
  wait_for 30 "the dialog to take the front and hang" grep -q '^hung' "$hung_log"
  wait_for 60 "the stall alert" shown "Quorvel: the scan series has stalled"
  echo "the stall alert came $((SECONDS - enabled)) s after ENABLE (--stall-after $stall_after)"
  ((SECONDS - enabled >= stall_after)) || fail "the alert came before the stall time"
  grep -q ",stall,.*; not answering: Open" "$JOURNAL" || fail "the hung dialog is not named"
  ms=$(date +%s%N)
  click StopCommand
  wait_for 10 "Stop!" at_least 1 journal_count stop
  echo "Stop! answered in $((($(date +%s%N) - ms) / 1000000)) ms"
  [ "$(count_of key)$(count_of save ok)" = 00 ] || fail "keys reached the stand-in"
  expect_keys_only_in
  click ExitCommand
  wait_for 10 "EXIT" gone "$QUORVEL_TITLE"
}

# The old-style dialog of the Win32 stand-in, as a 16-bit scanning application gets it: its OK
# has no underlined letter, so each name is confirmed with Enter, which presses the default
# button from the name field. Quorvel.exe reads that from the dialog; the Linux program, which
# cannot, is told on its command line.
old_dialog() {
  on_wine "$SCANNER_SIM" || fail "the old-style dialog is the Win32 stand-in's"
  local quorvel=()
  on_wine "$QUORVEL_BIN" || quorvel=(--save-key Enter)
  begin 3 "${quorvel[@]}"
  scan --pages 3 --old-dialog
  expect_series 3 "Save As" n Enter
}

# Names beyond ASCII typed exactly on a German and then a French layout, to which the desktop is
# switched while the series runs. They come from the queue file of a series cut short: the
# operator takes them up, leaves the seed filename (the picker) and presses ENABLE.
layouts() {
  local names=("Zürich-Ä_1" "scan (2) 50%" "été" page008 "Zürich-Ä_2" "scan (3) 75%" "àé" page009)
  start_scanner --pages 8
  install_quorvel 1500
  write_queue "$WORK/bin/Quorvel.ini" "$(path_for "$QUORVEL_BIN" "$SAVE")" "${names[@]}"
  run_quorvel
  answer_question Return
  setxkbmap de && LAYOUT_CHANGED=1 || fail "no layout de"
  click StartCommand
  confirm_picker
  click StartCommand
  wait_for 120 "four saves on the German layout" at_least 4 count_of save ok
  setxkbmap fr || fail "no layout fr"
  done_pages 120
  expect_files "${names[@]}"
  expect_page_keys 8
  expect_keys "Save As" "$(name_keys n s "${names[@]}")"
  expect_keys_only_in "DeskScan Error" "DeskScan II" "Save As" Quorvel  # the operator's answer
  expect_clean_finish
}

# Another program beside the scanning application, stealing nothing: the focus thief with its own
# title, and with --save-as its own "Save As". It must receive no key and save nothing.
start_other() {  # title [--save-as]
  start_thief --times 0 --title "$@"
  wait_for 30 "the other program's window" shown "$1"
}
# A name whose keys the other program's activation cut short goes again whole: the name key
# selects what the field holds. Only whole deliveries, from the name key to the save key, count.
expect_five_pages() {  # names...: saved, and no key and no save in the other program
  local whole
  expect_files "$@"
  expect_page_keys 5
  whole=$(keys_of "Save As" | awk '$0 == "%n" { d = "" } { d = d $0 "\n" } $0 == "%s" { printf "%s", d }')
  [ "$whole" = "$(name_keys n s "$@")" ] || fail "names typed: $whole"
  echo "deliveries to the dialog cut short: $(($(keys_of "Save As" | grep -c '^%n$') - $#))"
  ! grep -E $'^(key|save)\t' "$THIEF_LOG" || fail "the other program got keys or saved"
  expect_clean_finish
}

# Another program's window titled "DeskScan", as a file manager showing a folder of that name:
# open from before ENABLE, or opened in the middle of the series. It counts for nothing.
other_deskscan() {  # before|midway
  begin 5
  [ "$1" = before ] && start_other DeskScan
  start_series 0
  start_scanner --pages 5
  if [ "$1" = midway ]; then
    wait_for 60 "two pages saved" at_least 2 count_of save ok
    start_other DeskScan
  fi
  done_pages 150
  expect_five_pages "${list[@]}"
}

# Another program's "Save As" open during the series, activated every 0.5 to 1.5 s as by an
# operator working in it: the names go only into the scanning application's dialog.
other_save_as() {
  begin 5
  start_other Notes --save-as
  wait_for 10 "the other program's Save As" shown "Save As"
  local theirs activations="$WORK/activations"
  theirs=$(shown "Save As" | head -1)
  (while :; do
    xdotool windowactivate "$theirs" 2>/dev/null && echo >>"$activations"
    sleep "$(printf '0.%d' $((RANDOM % 10 + 5)))" 2>/dev/null
    ((RANDOM % 2)) && sleep 0.5
  done) &
  PIDS+=($!)
  scan --pages 5
  kill "${PIDS[-1]}"
  echo "the other program's Save As was activated $(wc -l <"$activations") times"
  expect_five_pages "${list[@]}"
}

# A save dialog that asks before it replaces a file. "images": the list's images are there and
# the operator says Yes to replacing them: each is replaced. "cut_short": the second save writes
# half an image; the name goes again and the question about the half image is answered Yes.
replace_question() {  # images|cut_short
  begin 5
  local name keys pages=6 cut=()
  [ "$1" = images ] && for name in "${list[@]}"; do printf 'BM' >"$SAVE/$name.bmp"; done
  [ "$1" = cut_short ] && pages=7 cut=(--cut-saves 2)
  start_series 0
  [ "$1" = images ] && answer_question Tab space
  start_scanner --pages $pages --ask-before-replacing "${cut[@]}"
  wait_for 150 "the end of the list" at_least 1 journal_count end
  expect_files "${list[@]}"
  expect_page_keys $pages
  keys=$(for name in "${list[@]}"; do name_keys n s "$name"; echo %y; done)
  [ "$1" = cut_short ] && keys=$(name_keys n s "${list[@]:0:2}" "${list[1]}" && echo %y &&
    name_keys n s "${list[@]:2}")
  [ "$(journal_awk '$2 == "replace" && $6 ~ /^"?answered Yes/' | wc -l)" = "$(grep -c %y <<<"$keys")" ] ||
    fail "answers: $(journal_awk '$2 == "replace"')"
  expect_keys "Save As" "$keys"
  expect_keys_only_in "DeskScan Error" "DeskScan II" "Save As" Quorvel
  expect_clean_finish
}

# The case is the function of that name.
declare -F "${1:-}" >/dev/null || { echo "usage: $0 CASE [ARGUMENT], CASE a function above" >&2 && exit 2; }
"$@"
echo "passed: $*"

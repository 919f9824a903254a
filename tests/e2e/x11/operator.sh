# The operator's hands on Quorvel's window, through xdotool: clicks at the places the layout
# table gives its controls, typing, the save-folder picker. The same for the Linux program and
# for Quorvel.exe under Wine, whose windows are X11 windows with the same layout in pixels.
# Shared by the end-to-end tests and the demo. Needs X11_PROBE (quorvel-x11-probe, for the layout
# in pixels) and a function `fail MESSAGE`; sets QUORVEL_WIN with find_quorvel.
# shellcheck shell=bash

readonly QUORVEL_TITLE="Odrin's HP Scanner Error Workaround"
readonly PICKER_TITLE="Find Directory to Save Files In"

# wait_for SECONDS DESCRIPTION COMMAND...: polls until the command succeeds.
wait_for() {
  local seconds=$1 what=$2
  shift 2
  local deadline=$((SECONDS + seconds))
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -ge $deadline ] && fail "timed out after ${seconds} s waiting for $what"
    sleep 0.1
  done
}

# title: its shown windows. xdotool fails with BadWindow when a window goes while it looks: then it
# looks again.
shown() {
  local try found
  for try in 1 2 3; do
    found=$(xdotool search --onlyvisible --name "^$1\$" 2>&1) && { echo "$found"; return 0; }
    [[ $try != 3 && $found == *"X Error"* ]] || return 1
  done
}
gone() { ! shown "$1"; }

find_quorvel() {
  wait_for 60 "Quorvel's window" shown "$QUORVEL_TITLE"
  QUORVEL_WIN=$(shown "$QUORVEL_TITLE" | head -1)
}

# The pixel rectangle of a control from the layout table: left top width height.
control_rect() {  # window(form|picker) name index
  "$X11_PROBE" layout | awk -v w="$1" -v n="$2" -v i="$3" \
    '$1 == w && $2 == n && $3 == i { print $4, $5, $6, $7; exit }'
}

is_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }
activate() {  # window id: asked for again every 5 s while another window keeps the focus
  local try
  for try in 1 2 3 4; do
    is_active "$1" && return 0
    xdotool windowactivate "$1" 2>/dev/null || true
    for _ in $(seq 50); do
      is_active "$1" && return 0
      sleep 0.1
    done
  done
  fail "window $1 did not become active"
}

# The window takes the click and the keys after it in the order they are made.
click_control() {  # window-id form|picker name index
  local rect
  read -r -a rect <<<"$(control_rect "$2" "$3" "$4")"
  [ ${#rect[@]} -eq 4 ] || fail "no control $3($4) in the layout of the $2"
  activate "$1"
  xdotool mousemove --window "$1" $((rect[0] + rect[2] / 2)) $((rect[1] + rect[3] / 2)) click 1
}
click() { click_control "$QUORVEL_WIN" form "$1" "${2:--1}"; }  # name [index]

type_into() {  # name index text: clicks the operator window's box and types the text over it
  click "$1" "$2"
  xdotool key --clearmodifiers End shift+Home BackSpace
  xdotool type --delay 15 "$3"
}

# The save-folder picker, which opens as the focus leaves the seed filename: the folder it
# shows first (Quorvel's working folder) is confirmed.
confirm_picker() {
  wait_for 10 "the save-folder picker" shown "$PICKER_TITLE"
  click_control "$(shown "$PICKER_TITLE" | head -1)" picker Command1 -1
  wait_for 10 "the picker to close" gone "$PICKER_TITLE"
}

# Operates Quorvel as a person: the seed filename, the save folder in the picker, the seed
# number, a step of +1, the pad width and the number of scans; then "<-- Create Filename List".
prepare_list() {  # seed seed-number pad scans
  type_into SeedText -1 "$1"
  xdotool key Tab
  confirm_picker
  type_into SeedNumberText -1 "$2"
  click Option1 0
  type_into PadText -1 "$3"
  type_into NumberofScans -1 "$4"
  click CreateCommand
}

# The action mode (0 Full Auto, 1 Error Only, 2 Error and Save As), then "ENABLE".
start_series() {
  click OptionAction "$1"
  click StartCommand
}

# The queue file of a series cut short, as Quorvel writes it beside its settings file; Quorvel
# offers its names back when it starts.
write_queue() {  # settings-file save-folder name...
  "$X11_PROBE" queue "$@" || fail "no queue file beside $1"
}

# Quorvel's question answered with the keys given: Return for its default button, Tab space for
# the other one. Under Wine the box can be active on the desktop a moment before Wine gives it the
# keyboard: the keys go once it holds the input focus. A box that shows at start, before the
# operator window, can still lose them to Wine's own activation of the program (seen under 64-bit
# Wine): while the same box stays shown with the focus 5 s later, the answer is given again.
has_focus() { [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$1" ]; }
box_stays() { # box seconds: still shown, with the focus, after that long
  local deadline=$((SECONDS + $2))
  while ((SECONDS < deadline)); do shown Quorvel | grep -qx "$1" || return 1; sleep 0.1; done
  has_focus "$1"
}
answer_question() {  # keys...
  wait_for 20 "Quorvel's question" shown Quorvel
  local try box
  box=$(shown Quorvel | head -1) && activate "$box"
  wait_for 10 "the question to take the keyboard" has_focus "$box"
  for try in 1 2 3; do
    xdotool key "$@"
    box_stays "$box" 5 || break
    echo "the question kept its place 5 s after the answer; answered again" >&2
  done
  wait_for 10 "the question to go after the answer" gone Quorvel
}

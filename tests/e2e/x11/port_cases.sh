#!/usr/bin/env bash
# The X11 desktop port against the stand-in scanning application and a focus thief: census,
# activation by title, keys typed whatever the keymap, refusal when the focus is elsewhere.
source "$(dirname "$0")/e2e_lib.sh"

key_lines() { grep -c '^key' "$1" 2>/dev/null || true; }

start_scanner --pages 3 --first-scan-ms 500 --scan-ms 800

# The census: titles topmost first; the error box opens on top of the main window.
wait_for 10 "the error box" in_census "DeskScan Error"
[ "$(census | head -2 | tr '\n' '|')" = "DeskScan Error|DeskScan II|" ] ||
  fail "census order: $(census | tr '\n' '|')"

# Keys for "DeskScan II" reach its modal error box as typed: characters that no key of the keymap
# types and the key syntax's "%", with Caps Lock on, which changes none of them and stays on.
name='été_%n 100% ü€名'
xdotool key Caps_Lock
send "DeskScan II" "$name" || fail "name refused: $(cat "$WORK/send.out")"
xset q | grep -q "Caps Lock: *on" || fail "Caps Lock was not left as it was"
xdotool key Caps_Lock
wait_for 5 "the last character" at_least ${#name} count_of key
expect_keys "DeskScan Error" "$(printf '%s' "$name" | grep -o .)"
expect_clean_finish

# More characters off the keymap than there are spare keycodes: refused whole, not half-typed.
many=$(for code in $(seq 19968 20267); do printf "\\u$(printf %x "$code")"; done)
keys_before=$(key_lines "$SIM_LOG")
if send "DeskScan II" "{TAB}" "$(printf "$many")"; then fail "an untypable name was delivered"; fi
[ "$(key_lines "$SIM_LOG")" -eq "$keys_before" ] || fail "part of an untypable name was typed"
expect_clean_finish

# Another client holds the keyboard (as an open menu does): keys would reach it, not the
# focused window, so nothing is delivered.
start_thief --times 0 --grab-keyboard-ms 8000
wait_for 12 "the keyboard grab" grep -qP '^grab\t' "$THIEF_LOG"
keys_before=$(key_lines "$SIM_LOG")
if send "DeskScan II" "{TAB}" %n; then fail "keys delivered while another client held the keyboard"; fi
grep -q refused "$WORK/send.out" || fail "$(cat "$WORK/send.out")"
[ "$(key_lines "$SIM_LOG")" -eq "$keys_before" ] || fail "keys reached the stand-in"
[ "$(key_lines "$THIEF_LOG")" -eq 0 ] || fail "keys reached the thief: $(cat "$THIEF_LOG")"
expect_clean_finish
wait_for 10 "the keyboard to be let go" grep -q '^ungrab' "$THIEF_LOG"

# Hidden windows stay in the census. A minimised one, which activation brings back:
main=$(xdotool search --name '^DeskScan II$' | head -1)
xdotool windowminimize "$main"
wait_for 5 "the window to be minimised" bash -c "xprop -id $main WM_STATE | grep -q Iconic"
in_census "DeskScan II" || fail "a minimised window left the census"
send "DeskScan II" "{TAB}" || fail "a minimised window was not brought back: $(cat "$WORK/send.out")"
# A withdrawn one (the other client's, the keyboard let go), listed after the window manager's
# clients; it cannot take the focus, so keys for it are refused.
thief=$(xdotool search --name '^Terminal$' | head -1)
xdotool windowunmap "$thief"
wait_for 5 "the window to be withdrawn" bash -c "xwininfo -id $thief | grep -q IsUnMapped"
[ "$(census | tail -1)" = "Terminal" ] || fail "withdrawn window: $(census | tr '\n' '|')"
if send "Terminal" "x"; then fail "keys delivered to a withdrawn window"; fi
[ "$(key_lines "$THIEF_LOG")" -eq 0 ] || fail "keys reached the withdrawn window"
expect_clean_finish

echo "passed: port"

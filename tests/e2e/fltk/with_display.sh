#!/usr/bin/env bash
# Runs the command on $DISPLAY when it is reachable, else on a private Xvfb with openbox; always on
# a private one when QUORVEL_DPI asks for a resolution.
set -uo pipefail
source "$(dirname "$0")/../../../scripts/lib.sh"
if [ -n "${QUORVEL_DPI:-}" ] || [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  trap stop_xserver EXIT
  start_xserver || exit 1
  # openbox announces itself a moment before it manages new windows: its list of them is up first.
  for _ in $(seq 1 100); do xprop -root _NET_CLIENT_LIST | grep -q "window id" && break; sleep 0.05; done
fi
"$@"

#!/usr/bin/env bash
# Runs a Windows program under Wine with the system's resolution at DPI dots per inch (Wine's
# LogPixels), on the display it is given, and takes the setting out of the prefix afterwards.
# Wine's server is ended before and after: one started on another display would hold it.
# Usage: at_dpi.sh DPI WINE PROGRAM [ARGUMENTS...]
set -uo pipefail
dpi=$1 wine=$2
shift 2
server="$(dirname "$wine")/wineserver"
key='HKCU\Control Panel\Desktop'
"$server" -k 2>/dev/null
trap '"$wine" reg delete "$key" /v LogPixels /f >/dev/null 2>&1; "$server" -k 2>/dev/null' EXIT
"$wine" reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
QUORVEL_DPI=$dpi "$wine" "$@"

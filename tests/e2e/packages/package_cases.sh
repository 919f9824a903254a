#!/usr/bin/env bash
# The packages as a new user meets them, on the display the caller gives. Usage:
#   package_cases.sh deb DEB   installed with apt; `quorvel --version`; started from its desktop
#                              entry's Exec line by a user of its own, whose settings land in
#                              ~/.config/quorvel; removed again
#   package_cases.sh zip ZIP   its Quorvel.exe at most 1 MB, passing the import check (it starts
#                              on Windows XP SP3) and with its version resource; unpacked into a
#                              folder nobody may write to and started under 32-bit Wine by a user
#                              of its own, whose settings land in %APPDATA%\Quorvel. Where no
#                              32-bit program runs, the 64-bit twin of the tests is started from
#                              that folder instead (choose_windows_build in scripts/lib.sh).
# The program runs as the user nobody: for root every folder takes files.
set -euo pipefail
source "$(dirname "$0")/../../../scripts/lib.sh"
source "$(dirname "$0")/../x11/operator.sh"

WORK=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-package.XXXXXX")
chmod 755 "$WORK"
PID=""
INSTALLED=0
cleanup() {
  [ -n "$PID" ] && kill "$PID" 2>/dev/null || true
  [ "$INSTALLED" = 1 ] && apt-get remove -y -qq quorvel >/dev/null 2>&1
  chmod -R u+w "$WORK"
  rm -rf "$WORK"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*" >&2
  cat "$WORK/out.txt" >&2 2>/dev/null || true
  exit 1
}
as_user() {  # command...: run as nobody, with a home of its own in the work folder
  mkdir -p "$WORK/home" && chown nobody "$WORK/home"
  setpriv --reuid=nobody --regid=nogroup --clear-groups \
    env -i HOME="$WORK/home" DISPLAY="$DISPLAY" PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"
}

# Starts the program as nobody, waits for its window, and closes it as the operator does, with
# the window manager's Alt+F4.
run_and_close() {  # command...
  as_user "$@" >"$WORK/out.txt" 2>&1 &
  PID=$!
  wait_for 120 "the operator window" xdotool search --onlyvisible --name "^$QUORVEL_TITLE\$"
  local window
  window=$(xdotool search --onlyvisible --name "^$QUORVEL_TITLE\$" | head -1)
  activate "$window"
  xdotool key alt+F4
  wait_for 20 "the program to end" bash -c "! kill -0 $PID 2>/dev/null"
  wait "$PID" || fail "the program ended with status $?"
  PID=""
}

apt_get() {  # command package
  DEBIAN_FRONTEND=noninteractive apt-get "$1" -y -q "$2" >"$WORK/apt.txt" 2>&1 ||
    fail "apt-get $1 $2: $(cat "$WORK/apt.txt")"
}

expect_settings() {  # file
  [ -f "$1" ] || fail "no settings file $1"
  grep -q '^delay=18000' "$1" || fail "settings file $1: $(cat "$1")"
}

deb() {
  local deb=$1 version entry
  version=$(basename "$deb" | cut -d_ -f2)
  apt_get install "$(realpath "$deb")"
  INSTALLED=1
  [ "$(quorvel --version)" = "Quorvel $version" ] || fail "quorvel --version: $(quorvel --version)"
  entry=/usr/share/applications/quorvel.desktop
  grep -qx 'Categories=Graphics;Scanning;' "$entry" && grep -qx 'Icon=quorvel' "$entry" ||
    fail "desktop entry: $(cat "$entry")"
  [ "$(dpkg -L quorvel | grep -c '^/usr/share/icons/hicolor/.*/apps/quorvel.png$')" = 4 ] ||
    fail "icons: $(dpkg -L quorvel | grep icons)"
  [ "$(dpkg -L quorvel | grep -c '^/usr/lib/quorvel/quorvel-wine-front\(64\)\?\.exe$')" = 2 ] ||
    fail "the Wine helpers: $(dpkg -L quorvel | grep /lib/)"
  { env -u DISPLAY quorvel 2>&1 || true; } | grep -q "no X display" ||
    fail "no word about the missing display"
  local exec_line
  exec_line=$(sed -n 's/^Exec=//p' "$entry")
  run_and_close sh -c "cd && exec $exec_line"
  expect_settings "$WORK/home/.config/quorvel/Quorvel.ini"
  echo "  installed $(basename "$deb"), started as \"$exec_line\", settings in ~/.config/quorvel"
  apt_get remove quorvel
  INSTALLED=0
  ! command -v quorvel >/dev/null || fail "quorvel is still there after its removal"
}

zip() {
  local folder
  cmake -E chdir "$WORK" cmake -E tar xf "$(realpath "$1")"
  folder=$(find "$WORK" -maxdepth 1 -name 'Quorvel-*-windows')
  [ -f "$folder/Quorvel.exe" ] && [ -f "$folder/LICENSE" ] && [ -f "$folder/README.md" ] ||
    fail "the zip holds: $(ls -R "$folder")"
  check_shipped_exe "$folder/Quorvel.exe" || fail "the check of the zip's Quorvel.exe"
  local exe="$folder/Quorvel.exe"
  if [ "$WINDOWS_PRESET" != windows ]; then
    exe="$folder/Quorvel64.exe"
    cp "$ROOT/build/$WINDOWS_PRESET/src/app/win32/Quorvel.exe" "$exe"
    echo "  this machine runs no 32-bit programs: the 64-bit twin starts in the zip's folder instead"
  fi
  chmod -R a-w "$folder"
  # Wine's first start makes the user's prefix (some 20 s).
  run_and_close env WINEPREFIX="$WORK/home/wine" WINEARCH="$WINDOWS_ARCH" WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml=" "$WINE" "$exe"
  as_user env WINEPREFIX="$WORK/home/wine" "$WINESERVER" -w
  expect_settings "$WORK/home/wine/drive_c/users/nobody/AppData/Roaming/Quorvel/Quorvel.ini"
  echo "  checked; unpacked $(basename "$1") into a read-only folder; started $(basename "$exe");" \
    "settings in %APPDATA%\\Quorvel"
}

[[ "${1:-}" =~ ^(deb|zip)$ ]] || { echo "usage: $0 deb|zip PACKAGE" >&2 && exit 2; }
"$1" "$2"

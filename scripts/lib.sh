# Shared by the scripts: package installs and a private X server.
# shellcheck shell=bash

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The tests use names beyond ASCII: the shell tools must read them as characters, and Wine
# turns Windows file names into Linux ones through the locale. Without a UTF-8 locale, C.UTF-8.
# (A locale that is named but not installed counts as none.)
[ "$(locale charmap 2>/dev/null)" = UTF-8 ] || export LC_ALL=C.UTF-8

# Package groups, from the distribution.
PKGS_CORE="cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev"
PKGS_GUI="libfltk1.3-dev libx11-dev libxtst-dev libx11-xcb-dev libxcb1-dev xvfb xauth openbox xdotool imagemagick x11-utils x11-xserver-utils x11-xkb-utils fonts-urw-base35"
# A save folder that can be made to stop answering, for the end-to-end tests (FUSE, as root).
PKGS_FUSE="fuse3 python3-fusepy"
# The Windows program is 32-bit: the i686 compiler, and 32-bit Wine (wine32 of the i386
# architecture) to run it; wine64 for a 64-bit Windows that runs it as a 32-bit program.
PKGS_WINDOWS="g++-mingw-w64-i686 binutils-mingw-w64-i686 wine32:i386 wine64 googletest fonts-wine"
# Wine's loaders: the 32-bit one runs the Windows programs, the 64-bit one makes 64-bit prefixes.
WINE=/usr/lib/wine/wine
WINE64=/usr/lib/wine/wine64
PKGS_FUZZ="clang libclang-rt-14-dev"
PKGS_PACKAGE="dpkg-dev file"

# Installs whichever of the named packages are missing.
ensure_packages() {
  local missing=()
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  # A package of another architecture (wine32:i386) needs that architecture added to dpkg's.
  local arch
  for arch in $(printf '%s\n' "${missing[@]}" | sed -n 's/.*:\([a-z0-9]*\)$/\1/p' | sort -u); do
    if [ "$arch" != "$(dpkg --print-architecture)" ] &&
      ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
      echo "Adding the $arch architecture to dpkg (for ${missing[*]})"
      $sudo dpkg --add-architecture "$arch"
    fi
  done
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Generates the named locales ("fr_FR.UTF-8") once, when `locale -a` lacks any: Debian's locales
# package, their lines enabled in /etc/locale.gen, locale-gen.
ensure_locales() {
  ensure_packages locales
  local locale missing=()
  for locale in "$@"; do
    locale -a | grep -qx "${locale%.UTF-8}.utf8" || missing+=("$locale")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Generating locales: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  for locale in "${missing[@]}"; do  # its line enabled, or added when the list lacks it
    $sudo sed -i "s/^# *$locale UTF-8\$/$locale UTF-8/" /etc/locale.gen
    grep -q "^$locale UTF-8" /etc/locale.gen || echo "$locale UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
  done
  $sudo locale-gen >/dev/null
}

# Runs cases of tests/e2e/x11/series_cases.sh, each given as "name arguments...", and says how
# long each took; fails once all have run if any failed.
run_series_cases() {
  local case start failed=0
  for case in "$@"; do
    start=$SECONDS
    # shellcheck disable=SC2086  # a case's name and arguments
    if bash "$ROOT/tests/e2e/x11/series_cases.sh" $case; then
      echo "=== $case: passed in $((SECONDS - start)) s"
    else
      echo "=== $case: FAILED after $((SECONDS - start)) s"
      failed=1
    fi
  done
  return $failed
}

# Starts Xvfb on a display it picks itself, with openbox as its window manager; sets DISPLAY.
# The window manager counts as up once it announces itself through a window that exists; it is
# started again if it does not come up. Returns non-zero, with openbox's output, when there is
# no working desktop.
XVFB_PID=""
WM_PID=""
XSERVER_DIR=""
start_xserver() {
  start_bare_xserver || return 1
  local try
  for try in 1 2 3; do
    start_window_manager && return 0
    echo "start_xserver: openbox is not up on $DISPLAY (try $try):" >&2
    cat "$XSERVER_DIR/openbox.log" >&2
    [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null || true
    WM_PID=""
  done
  return 1
}

# Starts Xvfb alone, with no window manager; sets DISPLAY. Xvfb reports the display number only
# once it accepts clients, and it skips numbers that are taken, also by a server that this file
# system cannot see. It never resets: by default it resets whenever its last client leaves, and
# on a display without a window manager a client that connects during that reset is refused.
# QUORVEL_X_LOGS names the folder of its log and the window manager's. The screen has 96 dots
# per inch unless QUORVEL_DPI says otherwise.
start_bare_xserver() {
  XSERVER_DIR=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-x.XXXXXX")
  local dpi=${QUORVEL_DPI:-96}  # the screen grows with it: 1280 x 1024 at 96
  Xvfb -displayfd 3 -screen 0 $((1280 * dpi / 96))x$((1024 * dpi / 96))x24 -dpi "$dpi" \
    -nolisten tcp -noreset \
    3>"$XSERVER_DIR/display" >"$XSERVER_DIR/xvfb.log" 2>&1 &
  XVFB_PID=$!
  local i
  for i in $(seq 1 600); do
    grep -q '[0-9]' "$XSERVER_DIR/display" 2>/dev/null && break
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.05
  done
  if ! grep -q '[0-9]' "$XSERVER_DIR/display" 2>/dev/null; then
    echo "start_xserver: Xvfb did not start:" >&2
    cat "$XSERVER_DIR/xvfb.log" >&2
    return 1
  fi
  export DISPLAY=":$(tr -dc '0-9' <"$XSERVER_DIR/display")"
  export QUORVEL_X_LOGS="$XSERVER_DIR"
}

# The X server's and the window manager's logs, for the reader of a failure.
print_x_logs() {
  local log
  for log in "${QUORVEL_X_LOGS:-/nonexistent}"/*.log; do
    [ -f "$log" ] || continue
    echo "--- $(basename "$log" .log) log ($DISPLAY):"
    cat "$log"
  done
}

# openbox with a home of its own, so that nothing in the caller's settings or session changes it.
start_window_manager() {
  mkdir -p "$XSERVER_DIR/home"
  HOME="$XSERVER_DIR/home" XDG_CONFIG_HOME="$XSERVER_DIR/home/config" \
    XDG_CACHE_HOME="$XSERVER_DIR/home/cache" XDG_DATA_HOME="$XSERVER_DIR/home/data" \
    openbox --sm-disable >"$XSERVER_DIR/openbox.log" 2>&1 </dev/null &
  WM_PID=$!
  local i
  for i in $(seq 1 300); do
    kill -0 "$WM_PID" 2>/dev/null || return 1
    window_manager_running && return 0
    sleep 0.05
  done
  return 1
}

# A window manager runs on $DISPLAY: the window it announces itself through exists (the root
# window keeps the announcement after the window manager has gone).
window_manager_running() {
  local check
  check=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -o "0x[0-9a-f]*" || true)
  [ -n "$check" ] && xprop -id "$check" _NET_WM_NAME >/dev/null 2>&1
}

stop_xserver() {
  [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  wait 2>/dev/null
  [ -n "$XSERVER_DIR" ] && rm -rf "$XSERVER_DIR"
  XVFB_PID=""
  WM_PID=""
  XSERVER_DIR=""
  return 0
}

# A Wine prefix at $WINEPREFIX that reports itself as the given Windows version (winxp unless
# told otherwise), with Wine's own fonts (fonts-wine: "MS Sans Serif" and the other faces
# Windows programs ask for) in its C:\windows\Fonts; without them Wine lays the captions of
# Win32 windows out in a wider face, which cuts them. The prefix is 32-bit (a 32-bit Windows)
# unless WINEARCH=win64; one of the other kind found there is made again.
prepare_wine_prefix() {  # [version]
  : "${WINEPREFIX:?}"
  local version=${1:-winxp} arch=${WINEARCH:-win32}
  if [ -f "$WINEPREFIX/system.reg" ] && ! grep -q "^#arch=$arch\$" "$WINEPREFIX/system.reg"; then
    echo "Making the Wine prefix $WINEPREFIX again, as $arch"
    rm -rf "$WINEPREFIX"
  fi
  if [ ! -d "$WINEPREFIX/drive_c/windows/Fonts" ]; then
    local loader=$WINE
    [ "$arch" = win64 ] && loader=$WINE64
    WINEARCH=$arch "$loader" wineboot -i >/dev/null 2>&1 || true
    /usr/lib/wine/wineserver -w
  fi
  "$WINE" reg add 'HKCU\Software\Wine' /v Version /d "$version" /f >/dev/null 2>&1
  /usr/lib/wine/wineserver -w
  ln -sf /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
  echo "Wine prefix $WINEPREFIX ($arch): $("$WINE" cmd /c ver 2>/dev/null | tr -d '\r' | grep -m1 .)"
}

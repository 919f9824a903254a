# Shared by the scripts: package installs and a private X server.
# shellcheck shell=bash

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# A command that fails under `set -e` says which one it was and where, in every script that
# sources this file (functions and subshells included).
report_failure() {  # status command
  [ "$BASH_SUBSHELL" -eq 0 ] || return 0  # told once, by the command that holds the subshell
  local i where=""
  for ((i = 1; i < ${#BASH_SOURCE[@]}; i++)); do
    where+=" ${BASH_SOURCE[i]#"$ROOT"/}:${BASH_LINENO[i - 1]}"
  done
  # A function that returned its failure names no command of its own: its call is the step.
  local command=": $2"
  [[ $2 == return* ]] && command=""
  echo "FAILED (exit $1)$command, at$where" >&2
}
set -E
trap 'report_failure $? "$BASH_COMMAND"' ERR

# Runs a step whose output is long and rarely read (a package install, a configure): quiet while
# it works, and on failure its name, exit code and the last 40 lines of its output.
# Usage: quietly "what it does" command [arguments...]
quietly() {
  local what=$1 log status=0
  shift
  log=$(mktemp "${TMPDIR:-/tmp}/quorvel-step.XXXXXX")
  "$@" >"$log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    echo "FAILED step: $what (exit $status): $*" >&2
    echo "--- its last lines of output:" >&2
    tail -n 40 "$log" >&2
  fi
  rm -f "$log"
  return "$status"
}

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
# architecture) to run it; wine64 for a 64-bit Windows that runs it as a 32-bit program. Where the
# machine runs no 32-bit programs, the x86_64 compiler builds a 64-bit twin for the tests.
PKGS_WINDOWS="g++-mingw-w64-i686 binutils-mingw-w64-i686 wine32:i386 wine64 googletest fonts-wine"
PKGS_WINDOWS64="g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64"
# Wine's loaders: the 32-bit one runs the Windows programs, the 64-bit one makes 64-bit prefixes
# and runs the twin. QUORVEL_WINE32 names another 32-bit loader. WINE is the loader of the
# programs under test, chosen by choose_windows_build.
WINE32=${QUORVEL_WINE32:-/usr/lib/wine/wine}
WINE64=/usr/lib/wine/wine64
WINE=${QUORVEL_WINE:-$WINE32}
# Debian's wineserver script starts the 64-bit server where wine64 is installed, which serves
# 32-bit programs as well.
WINESERVER=/usr/lib/wine/wineserver
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
  quietly "apt-get update" $sudo apt-get update -qq
  quietly "installing ${missing[*]}" env DEBIAN_FRONTEND=noninteractive \
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
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
  quietly "generating locales" $sudo locale-gen
}

# Runs cases of tests/e2e/x11/series_cases.sh, each given as "name arguments...", and says how
# long each took; a case that ends with 77 cannot run for this program and is counted as skipped.
# Fails once all have run if any failed.
run_series_cases() {
  local case start failed=0 passed=0 skipped=0 status
  for case in "$@"; do
    start=$SECONDS
    status=0
    # shellcheck disable=SC2086  # a case's name and arguments
    bash "$ROOT/tests/e2e/x11/series_cases.sh" $case || status=$?
    case $status in
      0)
        echo "=== $case: passed in $((SECONDS - start)) s"
        passed=$((passed + 1))
        ;;
      77)
        echo "=== $case: SKIPPED"
        skipped=$((skipped + 1))
        ;;
      *)
        echo "=== $case: FAILED after $((SECONDS - start)) s"
        failed=$((failed + 1))
        ;;
    esac
  done
  echo "=== series cases: $passed passed, $skipped skipped, $failed failed"
  [ "$failed" -eq 0 ]
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

# Which Windows build the tests start, found out once by starting the 32-bit loader and reading its
# answer: the shipped 32-bit build (preset windows) under 32-bit Wine where 32-bit programs run;
# else its 64-bit twin (preset windows64) under 64-bit Wine, while the shipped Quorvel.exe is only
# checked. Sets and exports WINDOWS_PRESET, WINE, WINDOWS_ARCH (the prefixes' WINEARCH) and
# WINDOWS_XP (the version name of Windows XP for that architecture); says which kind it found.
choose_windows_build() {
  local answer
  if answer=$("$WINE32" --version 2>&1); then
    WINDOWS_PRESET=windows WINE=$WINE32 WINDOWS_ARCH=win32 WINDOWS_XP=winxp
    echo "This machine runs 32-bit programs ($WINE32: $answer): the Windows cases run on the" \
      "shipped 32-bit Quorvel.exe under 32-bit Wine."
  else
    WINDOWS_PRESET=windows64 WINE=$WINE64 WINDOWS_ARCH=win64 WINDOWS_XP=winxp64
    echo "This machine runs no 32-bit programs ($WINE32: ${answer##*"$WINE32": }): the" \
      "Windows cases run on the 64-bit build of the same sources; the shipped 32-bit Quorvel.exe" \
      "is checked, not started."
    ensure_packages $PKGS_WINDOWS64
  fi
  QUORVEL_WINE=$WINE
  export WINDOWS_PRESET WINE QUORVEL_WINE WINDOWS_ARCH WINDOWS_XP
}

# Checks the shipped Quorvel.exe without starting it: at most 1 MB, an i386 image for subsystem
# 5.1 whose imports are all listed (check_imports.cmake), and its version resource, read from the
# file by the version test of the build that the tests start.
check_shipped_exe() {  # exe
  local exe=$1 size
  size=$(stat -c %s "$exe")
  echo "$exe: $size bytes"
  [ "$size" -le $((1024 * 1024)) ] || { echo "$exe has $size bytes, more than 1 MB" >&2; return 1; }
  cmake -DEXE="$exe" -DOBJDUMP=i686-w64-mingw32-objdump -P "$ROOT/src/app/win32/check_imports.cmake"
  QUORVEL_EXE_UNDER_TEST="Z:${exe//\//\\}" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    WINEPREFIX=${WINEPREFIX:-$ROOT/build/$WINDOWS_PRESET/wineprefix} "$WINE" \
    "$ROOT/build/$WINDOWS_PRESET/tests/win32/quorvel_version_test.exe" --gtest_brief=1
}

# A Wine prefix at $WINEPREFIX that reports itself as the given Windows version ($WINDOWS_XP
# unless told otherwise), with Wine's own fonts (fonts-wine: "MS Sans Serif" and the other faces
# Windows programs ask for) in its C:\windows\Fonts; without them Wine lays the captions of
# Win32 windows out in a wider face, which cuts them. The prefix is of $WINDOWS_ARCH unless
# WINEARCH says otherwise; one of the other kind found there is made again.
prepare_wine_prefix() {  # [version]
  : "${WINEPREFIX:?}"
  local version=${1:-$WINDOWS_XP} arch=${WINEARCH:-$WINDOWS_ARCH} loader=$WINE
  [ "$arch" = win64 ] && loader=$WINE64
  if [ -f "$WINEPREFIX/system.reg" ] && ! grep -q "^#arch=$arch\$" "$WINEPREFIX/system.reg"; then
    echo "Making the Wine prefix $WINEPREFIX again, as $arch"
    rm -rf "$WINEPREFIX"
  fi
  if [ ! -d "$WINEPREFIX/drive_c/windows/Fonts" ]; then
    # A 64-bit prefix on a machine without 32-bit programs warns that its 32-bit parts cannot
    # start; the prefix is made all the same, which the folder checked below shows.
    quietly "making the Wine prefix $WINEPREFIX ($arch)" env WINEARCH=$arch "$loader" wineboot -i ||
      true
    quietly "waiting for Wine's server" "$WINESERVER" -w
    [ -d "$WINEPREFIX/drive_c/windows/Fonts" ] ||
      { echo "FAILED step: no Wine prefix at $WINEPREFIX after wineboot" >&2; return 1; }
  fi
  quietly "setting the prefix's Windows version to $version" \
    "$loader" reg add 'HKCU\Software\Wine' /v Version /d "$version" /f
  quietly "waiting for Wine's server" "$WINESERVER" -w
  ln -sf /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
  echo "Wine prefix $WINEPREFIX ($arch): $("$loader" cmd /c ver 2>&1 | tr -d '\r' | grep -m1 .)"
}

# The Windows build: cross-compiled 32-bit with MinGW-w64, its unit tests run under 32-bit Wine
# reporting itself as Windows XP, the imports of Quorvel.exe checked (it starts on XP SP3), the
# Windows desktop port tried on Wine's desktop, and Quorvel.exe operated as a person would through
# the shell cases of tests/e2e/x11, against the Win32 stand-in, on a private virtual X server;
# then Full Auto once more under 64-bit Wine reporting Windows 10, which runs the same 32-bit
# programs. The operator's hands are the Linux build's X11 probe and xdotool.
#
# On a machine that runs no 32-bit programs the same cases run on the 64-bit twin of the build
# (preset windows64) under 64-bit Wine reporting Windows XP x64, and the shipped 32-bit Quorvel.exe
# is built and checked without being started (choose_windows_build in scripts/lib.sh).
#
# QUORVEL_WINE_SERIES=20 (taken from the caller's environment, also through scripts/test) runs
# twenty five-page series of Quorvel.exe back to back, alternating the ANSI and the wide common
# Save As dialog, instead of two; each takes about 40 s. The folder-hang case runs one more
# series to its end, across a save folder that stops answering for 60 s.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cd "$ROOT"
ensure_packages $PKGS_CORE $PKGS_WINDOWS $PKGS_GUI $PKGS_FUSE
ensure_locales fr_FR.UTF-8 de_DE.UTF-8 es_ES.UTF-8
choose_windows_build

# The shipped build always; the twin where it is the one the tests start.
quietly "configuring the windows preset" cmake --preset windows
cmake --build --preset windows -j 2
if [ "$WINDOWS_PRESET" != windows ]; then
  quietly "configuring the $WINDOWS_PRESET preset" cmake --preset "$WINDOWS_PRESET"
  cmake --build --preset "$WINDOWS_PRESET" -j 2
fi
quietly "configuring the linux preset" cmake --preset linux -DQUORVEL_GUI=ON -DQUORVEL_TESTS=ON
cmake --build --preset linux -j 2 --target quorvel-x11-probe
build="$ROOT/build/$WINDOWS_PRESET"

# Wine keeps its own prefixes beside the build; the first start creates one (about 20 s).
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko install prompts
prepare_wine_prefix
win10_prefix="$build/wineprefix64"
WINEPREFIX=$win10_prefix WINEARCH=win64 prepare_wine_prefix win10

# The unit tests need no display.
start=$(date +%s)
ctest --preset "$WINDOWS_PRESET" -LE e2e
echo "windows unit tests: $(($(date +%s) - start)) s"

# The Quorvel.exe that the zip takes: an i386 image for XP SP3 and later that needs only DLLs of
# Windows itself and functions of its import list (the same check runs as a test of the build),
# with its version resource.
check_shipped_exe "$ROOT/build/windows/src/app/win32/Quorvel.exe"

# The end-to-end tests on a private display; Wine's server ends with the last program. One left
# by an earlier run would hold another display.
stop_wine() {
  "$WINESERVER" -k 2>/dev/null || true
  WINEPREFIX=$win10_prefix "$WINESERVER" -k 2>/dev/null || true
}
stop_wine
trap 'stop_xserver; stop_wine' EXIT
start_xserver
echo "private desktop: Xvfb on $DISPLAY with openbox"
ctest --preset "$WINDOWS_PRESET" -L e2e || { print_x_logs; exit 1; }
export QUORVEL_BIN="$build/src/app/win32/Quorvel.exe"
export SCANNER_SIM="$build/tools/scanner-sim/deskscan-sim.exe"
export FOCUS_THIEF="$build/tools/scanner-sim/focus-thief.exe"
export X11_PROBE="$ROOT/build/linux/tools/scanner-sim/quorvel-x11-probe"
export QUORVEL_SERIES="${QUORVEL_WINE_SERIES:-2}"
echo "Quorvel.exe under test: $QUORVEL_BIN"
run_series_cases full_auto failed_save focus_theft folder_hang error_only error_and_save_as \
  disk_full layouts collision resume "foreign_dialog fr_FR table" "foreign_dialog de_DE table" \
  "foreign_dialog es_ES table" "hung_dialog behind" "hung_dialog front" clock_behind clock_ahead \
  old_dialog "other_deskscan before" "other_deskscan midway" other_save_as \
  "replace_question images" "replace_question cut_short"
# The same programs on a 64-bit Windows 10.
echo "Full Auto under 64-bit Wine reporting Windows 10"
WINEPREFIX=$win10_prefix QUORVEL_SERIES=1 run_series_cases full_auto

# The Linux program with a Windows scanning application under Wine on the same display: the
# Linux build drives the windows preset's stand-in (deskscan-sim.exe) on a private Xvfb with
# openbox, typing names on the US, German and French layouts and running a Full Auto series; and
# the Windows build, Quorvel.exe, drives it under Wine on the German and the French layout.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cd "$ROOT"
ensure_packages $PKGS_CORE $PKGS_GUI $PKGS_WINDOWS
cmake --preset linux -DQUORVEL_GUI=ON -DQUORVEL_TESTS=ON >/dev/null
cmake --build --preset linux -j 2
cmake --preset windows >/dev/null
cmake --build --preset windows -j 2 --target deskscan-sim Quorvel

linux="$ROOT/build/linux"
export WINEPREFIX="$ROOT/build/windows/wineprefix"  # created by the first start (about 10 s)
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko install prompts
prepare_wine_prefix
export WINE_SCANNER="$ROOT/build/windows/tools/scanner-sim/deskscan-sim.exe"
export QUORVEL_EXE="$ROOT/build/windows/src/app/win32/Quorvel.exe"
export QUORVEL_BIN="$linux/src/app/fltk/quorvel"
export SCANNER_SIM="$linux/tools/scanner-sim/quorvel-scanner-sim"
export FOCUS_THIEF="$linux/tools/scanner-sim/quorvel-focus-thief"
export X11_PROBE="$linux/tests/e2e/x11/quorvel-x11-probe"

# Wine's server ends with the last program; one left by an earlier run would hold another display.
/usr/lib/wine/wineserver -k 2>/dev/null || true
trap 'stop_xserver; /usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
start_xserver
echo "private desktop: Xvfb on $DISPLAY with openbox"
for case in names series exe_layouts; do
  start=$(date +%s)
  bash tests/e2e/x11/wine_cases.sh "$case"
  echo "wine $case: $(($(date +%s) - start)) s"
done

# The Linux program with a Windows scanning application under Wine on the same display: the Linux
# build drives the windows preset's stand-in (deskscan-sim.exe) on a private Xvfb with openbox,
# typing names on the US, German and French layouts, running Full Auto series, finding the save
# dialog in Spanish by the command line's options (by its table, and in French and German, it is
# the same code that Quorvel.exe runs in stage 30), the old-style dialog of a 16-bit scanning
# application, another program's window titled "DeskScan" and its "Save As", and the dialog's
# question before it replaces a file. A failed save and a clock ahead are the Linux program's own
# cases in stage 20 and Quorvel.exe's against Wine's dialogs in stage 30. The stand-in is 32-bit,
# under 32-bit Wine; on a machine that runs no 32-bit programs, its 64-bit twin under 64-bit Wine
# (scripts/lib.sh).
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cd "$ROOT"
ensure_packages $PKGS_CORE $PKGS_GUI $PKGS_WINDOWS
ensure_locales fr_FR.UTF-8 de_DE.UTF-8 es_ES.UTF-8
choose_windows_build
quietly "configuring the linux preset" cmake --preset linux -DQUORVEL_GUI=ON -DQUORVEL_TESTS=ON
cmake --build --preset linux -j 2
quietly "configuring the $WINDOWS_PRESET preset" cmake --preset "$WINDOWS_PRESET"
cmake --build --preset "$WINDOWS_PRESET" -j 2 --target deskscan-sim focus-thief

linux="$ROOT/build/linux"
windows="$ROOT/build/$WINDOWS_PRESET"
export WINEPREFIX="$windows/wineprefix"  # created by the first start (about 20 s)
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko install prompts
prepare_wine_prefix
export QUORVEL_BIN="$linux/src/app/fltk/quorvel"
export SCANNER_SIM="$windows/tools/scanner-sim/deskscan-sim.exe"
export FOCUS_THIEF="$windows/tools/scanner-sim/focus-thief.exe"
export X11_PROBE="$linux/tools/scanner-sim/quorvel-x11-probe"

# Wine's server ends with the last program; one left by an earlier run would hold another display.
"$WINESERVER" -k 2>/dev/null || true
trap 'stop_xserver; "$WINESERVER" -k 2>/dev/null || true' EXIT
start_xserver
echo "private desktop: Xvfb on $DISPLAY with openbox; the stand-in: $SCANNER_SIM"
# Another program's "Save As" that the operator works in takes Wine's keyboard without the X
# focus; the Linux program asks Wine which window has it, through quorvel-wine-front.exe (or its
# 64-bit twin), which the linux preset builds beside it with the MinGW-w64 installed above. The
# focus thief is Quorvel.exe's case in stage 30 and the Linux program's on X11 in stage 20.
compgen -G "$linux/src/app/fltk/quorvel-wine-front*.exe" >/dev/null || {
  echo "no quorvel-wine-front*.exe beside $QUORVEL_BIN: the linux preset found no MinGW-w64" >&2
  exit 1
}
run_series_cases layouts full_auto "foreign_dialog es_ES options" resume clock_behind old_dialog \
  "other_deskscan before" "other_deskscan midway" other_save_as "replace_question images" \
  "replace_question cut_short"

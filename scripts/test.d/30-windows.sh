# The Windows build: cross-compiled with MinGW-w64, its unit tests run under Wine, the import list
# of Quorvel.exe checked, and the end-to-end tests run under Wine on a private virtual X server.
#
# QUORVEL_WINE_SERIES=20 (taken from the caller's environment, also through scripts/test) runs
# twenty five-page series of Quorvel.exe back to back, ten against each variant of the common
# Save As dialog (ANSI and wide), instead of five; each takes about 40 s.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cd "$ROOT"
ensure_packages $PKGS_CORE $PKGS_WINDOWS $PKGS_GUI

build="$ROOT/build/windows"
cmake --preset windows >/dev/null
cmake --build --preset windows -j 2

# Wine keeps its own prefix beside the build; the first start creates it (about 10 s).
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko install prompts
prepare_wine_prefix

# The unit tests need no display.
start=$(date +%s)
ctest --preset windows -LE e2e
echo "windows unit tests: $(( $(date +%s) - start )) s"

# Quorvel.exe needs only DLLs of Windows itself (the same check runs as a test of the build).
exe="$build/src/app/win32/Quorvel.exe"
if [ -f "$exe" ]; then
  echo "Quorvel.exe: $(stat -c %s "$exe") bytes"
  cmake -DEXE="$exe" -DOBJDUMP=x86_64-w64-mingw32-objdump -P src/app/win32/check_imports.cmake
fi

# The end-to-end tests on a private display; Wine's server ends with the last program.
trap 'stop_xserver; /usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
start_xserver
echo "private desktop: Xvfb on $DISPLAY with openbox"
ctest --preset windows -L e2e || { print_x_logs; exit 1; }

# The packages: the .deb of the Linux build and the zip of the Windows build, made with CPack and
# tried as a new user would on a private Xvfb with openbox: installed with apt (as root) and
# started from the desktop entry, or unpacked into a read-only folder and started under Wine (on a
# machine that runs no 32-bit programs, the zip's Quorvel.exe is checked and the 64-bit twin is
# started from the same folder in its place).
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cd "$ROOT"
ensure_packages $PKGS_CORE $PKGS_GUI $PKGS_WINDOWS $PKGS_PACKAGE
choose_windows_build
quietly "configuring the linux preset" cmake --preset linux -DQUORVEL_GUI=ON -DQUORVEL_TESTS=ON
cmake --build --preset linux -j 2
quietly "configuring the windows preset" cmake --preset windows
cmake --build --preset windows -j 2
if [ "$WINDOWS_PRESET" != windows ]; then
  quietly "configuring the $WINDOWS_PRESET preset" cmake --preset "$WINDOWS_PRESET"
  cmake --build --preset "$WINDOWS_PRESET" -j 2 --target Quorvel quorvel_version_test
fi
quietly "making the .deb" cmake -E chdir build/linux cpack -G DEB
quietly "making the zip" cmake -E chdir build/windows cpack -G ZIP

trap stop_xserver EXIT
start_xserver
echo "private desktop: Xvfb on $DISPLAY with openbox"
bash tests/e2e/packages/package_cases.sh deb build/linux/quorvel_*_amd64.deb
bash tests/e2e/packages/package_cases.sh zip build/windows/Quorvel-*-windows.zip

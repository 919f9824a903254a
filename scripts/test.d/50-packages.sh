# The packages: the .deb of the Linux build and the zip of the Windows build, made with CPack and
# tried as a new user would on a private Xvfb with openbox: installed with apt (as root) and
# started from the desktop entry, or unpacked into a read-only folder and started under Wine.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cd "$ROOT"
ensure_packages $PKGS_CORE $PKGS_GUI $PKGS_WINDOWS $PKGS_PACKAGE
cmake --preset linux -DQUORVEL_GUI=ON -DQUORVEL_TESTS=ON >/dev/null
cmake --build --preset linux -j 2
cmake --preset windows >/dev/null
cmake --build --preset windows -j 2
(cd build/linux && cpack -G DEB >/dev/null)
(cd build/windows && cpack -G ZIP >/dev/null)

trap stop_xserver EXIT
start_xserver
echo "private desktop: Xvfb on $DISPLAY with openbox"
bash tests/e2e/packages/package_cases.sh deb build/linux/quorvel_*_amd64.deb
bash tests/e2e/packages/package_cases.sh zip build/windows/Quorvel-*-windows.zip

# Quorvel on a real X display: builds the Linux program with its desktop front-end and runs the
# end-to-end tests under a private Xvfb with openbox.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cd "$ROOT"
ensure_packages $PKGS_CORE $PKGS_GUI $PKGS_FUSE
cmake --preset linux -DQUORVEL_GUI=ON -DQUORVEL_TESTS=ON >/dev/null
cmake --build --preset linux -j "$(nproc)"
trap stop_xserver EXIT
start_xserver
echo "private desktop: Xvfb on $DISPLAY with openbox"
ctest --preset linux -L e2e || { print_x_logs; exit 1; }

# The Linux build (the core, the desktop front-end and the tools) and every test that needs no
# display: the core's unit tests, the layout and binding tests that run headless.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cd "$ROOT"
ensure_packages $PKGS_CORE $PKGS_GUI
cmake --preset linux -DQUORVEL_GUI=ON -DQUORVEL_TESTS=ON >/dev/null
cmake --build --preset linux -j "$(nproc)"
ctest --preset linux -LE e2e

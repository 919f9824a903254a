# The core's unit tests (and, where the front-end is built, its tests too) on Linux.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cd "$ROOT"
ensure_packages $PKGS_CORE
cmake --preset linux -DQUORVEL_GUI=OFF >/dev/null
cmake --build --preset linux -j "$(nproc)"
ctest --preset linux

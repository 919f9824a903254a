# The Linux build (the core, the desktop front-end and the tools) and every test that needs no
# display: the core's unit tests, the layout and binding tests that run headless, the X11 port's
# keyboard tables; and the layout of the sources.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cd "$ROOT"
ensure_packages $PKGS_CORE $PKGS_GUI clang-format
ensure_locales de_DE.UTF-8  # the unit tests read numbers under a comma locale
# Every C++ file as the project's .clang-format lays it out.
find src tests tools fuzz bench \( -name '*.cpp' -o -name '*.h' \) -print0 |
  xargs -0 clang-format --dry-run -Werror
cmake --preset linux -DQUORVEL_GUI=ON -DQUORVEL_TESTS=ON >/dev/null
cmake --build --preset linux -j "$(nproc)"
ctest --preset linux -LE e2e
# The long run: 10,000 pages in Full Auto with every fault switched on, its figures printed.
build/linux/tests/quorvel_soak 10000
# Tests stay a lean share of the code, and every fault of the mutation list still fits it.
scripts/count-lines
scripts/mutants --check

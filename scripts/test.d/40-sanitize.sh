# The unit tests under AddressSanitizer and UndefinedBehaviorSanitizer, and each fuzz target for a
# short, bounded run on its committed seed corpus.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cd "$ROOT"
ensure_packages $PKGS_CORE $PKGS_FUZZ
ensure_locales de_DE.UTF-8  # the unit tests read numbers under a comma locale
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j "$(nproc)"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --preset sanitize

seconds=${FUZZ_SECONDS:-10}
for fuzzer in build/sanitize/fuzz/fuzz_*; do
  name=$(basename "$fuzzer")
  corpus="fuzz/corpus/${name#fuzz_}"
  work=$(mktemp -d)
  cp -r "$corpus"/. "$work"/ 2>/dev/null || true
  echo "--- $name for ${seconds} s"
  status=0
  "$fuzzer" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    -artifact_prefix=build/sanitize/ "$work" \
    >"$work.log" 2>&1 || status=$?
  grep -E 'stat::number_of_executed_units|ERROR|SUMMARY|deadly signal|Test unit written' \
    "$work.log" || true
  rm -rf "$work" "$work.log"
  [ "$status" -eq 0 ] || { echo "$name found a fault (exit $status)"; exit 1; }
done

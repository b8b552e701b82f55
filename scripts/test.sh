#!/usr/bin/env bash
# Installs what is needed, builds with AddressSanitizer and UndefinedBehaviorSanitizer,
# and runs every test. Test suites whose name ends in "Concurrency" also run in a
# ThreadSanitizer build.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh"

# Includes point down the layers of cmake/layers.txt (every build checks it too).
python3 "$here/tools/layers/check_layers.py" "$here"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

asan="$here/build-test"
"$here/scripts/build.sh" "$asan" -DCMAKE_BUILD_TYPE=Debug -DVANTOREL_SANITIZE=ON -DVANTOREL_BENCH=ON \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g"

# The soak (the window under ten minutes of random use and device trouble) runs
# beside the other stages: it waits most of the time, so it costs little of a
# core, and it is waited for at the end. VANTOREL_SOAK_SECONDS shortens it.
soak_log="$asan/soak.log"
(cd "$asan" && exec env VANTOREL_SOAK_SECONDS="${VANTOREL_SOAK_SECONDS:-600}" \
  VANTOREL_SOAK_REPORT="$asan/soak-figures.txt" ./test_soak --gtest_color=no >"$soak_log" 2>&1) &
soak_pid=$!
trap 'kill "$soak_pid" 2>/dev/null || true' EXIT

(cd "$asan" && ctest -j"$(nproc)" --output-on-failure --timeout 600 -E '^Soak\.')

# Only the test programs that hold concurrency suites are built a second time.
tsan_targets=()
for dir in $(grep -rlE 'TEST(_F)?\([A-Za-z0-9_]*Concurrency,' "$here/tests" --include='*.cpp' | xargs -r -n1 dirname | sort -u); do
  rel=${dir#"$here/tests/"}
  tsan_targets+=("test_${rel//\//_}")
done
if [ ${#tsan_targets[@]} -gt 0 ]; then
  tsan="$here/build-tsan"
  gen=(); command -v ninja >/dev/null && gen=(-G Ninja)
  [ -f "$tsan/CMakeCache.txt" ] || cmake -S "$here" -B "$tsan" "${gen[@]}" -DCMAKE_BUILD_TYPE=Debug \
    -DVANTOREL_TSAN=ON -DVANTOREL_BENCH=OFF -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g"
  cmake --build "$tsan" -j"$(nproc)" --target "${tsan_targets[@]}"
  export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
  (cd "$tsan" && ctest -j"$(nproc)" --output-on-failure --timeout 600 -R 'Concurrency\.')
fi
# Each fuzz target for 20 seconds on its seed corpus (clang, libFuzzer).
"$here/tests/fuzz/run.sh" 20

if ! wait "$soak_pid"; then
  cat "$soak_log"
  echo "The soak failed."
  exit 1
fi
trap - EXIT
cat "$asan/soak-figures.txt"
echo "All tests passed."

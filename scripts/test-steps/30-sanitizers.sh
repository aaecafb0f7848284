# The unit tests again in a second build with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
# -O1 with line tables only: reports keep their file and line, and the build takes about half the time.
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSARINE_SANITIZE=ON \
  -DTESSARINE_BENCHMARKS=OFF "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" >/dev/null
cmake --build build-sanitize -j "$TESSARINE_JOBS"
# Leaks inside the toolkit's and the font library's own start-up are theirs, not ours.
export LSAN_OPTIONS="suppressions=$PWD/scripts/sanitizer-suppressions/lsan.supp:print_suppressions=0"
# Stack frames that have returned stay poisoned: a handler that writes into the locals of a finished test
# stops the run here, whatever the optimiser would have made of it.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build-sanitize -j "$TESSARINE_JOBS" --output-on-failure --timeout 900

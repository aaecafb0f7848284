# Fuzzes the EMF record enumerator and player, the text-record converter of the 9x page re-recording, the
# reading of stored data (designs and the hexadecimal settings block), of IPP messages, HTTP responses
# and printer descriptions, each for a bounded time
# (libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer, clang). Undefined behaviour such as a
# signed overflow on record values is as fatal as a memory error: the run stops and the step fails.
set -euo pipefail
# The build and the runs (about 30 s, two at a time) stay within about three minutes on two cores.
FUZZ_SECONDS=${TESSARINE_FUZZ_SECONDS:-20}
CONVERTER_FUZZ_SECONDS=${TESSARINE_CONVERTER_FUZZ_SECONDS:-10}
STORED_FUZZ_SECONDS=${TESSARINE_STORED_FUZZ_SECONDS:-10}
IPP_FUZZ_SECONDS=${TESSARINE_IPP_FUZZ_SECONDS:-5}
HTTP_FUZZ_SECONDS=${TESSARINE_HTTP_FUZZ_SECONDS:-5}
PPD_FUZZ_SECONDS=${TESSARINE_PPD_FUZZ_SECONDS:-5}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSARINE_FUZZ=ON \
  -DTESSARINE_TESTS=OFF -DTESSARINE_BENCHMARKS=OFF "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -gline-tables-only -DNDEBUG" \
  >/dev/null
cmake --build build-fuzz -j "$TESSARINE_JOBS" --target emf_fuzzer text_converter_fuzzer stored_data_fuzzer ipp_fuzzer http_response_fuzzer ppd_fuzzer
export LSAN_OPTIONS="suppressions=$PWD/scripts/sanitizer-suppressions/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Inputs that fuzzing outside the suite found are shared beside the repository (a clean clone may not have
# the folder; every input that is handled is also in the checked-in corpora, which the runs below replay
# first). Each file is replayed once through every target: a libFuzzer target given files runs each of
# them and stops at the first crash, overflow or leak.
shared=${TESSARINE_FUZZ_INPUTS:-$PWD/../shared/fuzz-inputs}
if [ -d "$shared" ]; then
  mapfile -t inputs < <(find "$shared" -maxdepth 1 -type f ! -name '*.md' | sort)
  if [ "${#inputs[@]}" -gt 0 ]; then
    for target in emf_fuzzer text_converter_fuzzer stored_data_fuzzer ipp_fuzzer http_response_fuzzer ppd_fuzzer; do
      build-fuzz/fuzz/$target -rss_limit_mb=4096 -timeout=20 "${inputs[@]}" >"build-fuzz/replay-$target.log" 2>&1 || {
        cat "build-fuzz/replay-$target.log"
        echo "$target fails on an input of $shared" >&2
        exit 1
      }
    done
    echo "replayed ${#inputs[@]} inputs of $shared through every target"
  fi
fi
# New inputs go to a scratch corpus; the checked-in seeds stay as they are.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p build-fuzz/artifacts "$work/emf" "$work/text" "$work/stored" "$work/ipp" "$work/http" "$work/ppd"
# Two chains of runs, one on each core: EMF, IPP and HTTP in the background, the others here; the step
# fails when any run fails.
(
  build-fuzz/fuzz/emf_fuzzer "$work/emf" fuzz/corpus/emf -max_total_time="$FUZZ_SECONDS" -max_len=8192 -timeout=20 \
    -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/ &&
    build-fuzz/fuzz/ipp_fuzzer "$work/ipp" fuzz/corpus/ipp -max_total_time="$IPP_FUZZ_SECONDS" -max_len=65536 \
      -timeout=20 -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/ipp- &&
    build-fuzz/fuzz/http_response_fuzzer "$work/http" fuzz/corpus/http -max_total_time="$HTTP_FUZZ_SECONDS" \
      -max_len=16384 -timeout=20 -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/http-
) >"$work/background.log" 2>&1 &
background_run=$!
others_failed=0
build-fuzz/fuzz/text_converter_fuzzer "$work/text" fuzz/corpus/text -max_total_time="$CONVERTER_FUZZ_SECONDS" \
  -max_len=4096 -timeout=20 -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/text- ||
  others_failed=1
build-fuzz/fuzz/stored_data_fuzzer "$work/stored" fuzz/corpus/stored -max_total_time="$STORED_FUZZ_SECONDS" \
  -max_len=4096 -timeout=20 -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/stored- ||
  others_failed=1
build-fuzz/fuzz/ppd_fuzzer "$work/ppd" fuzz/corpus/ppd -max_total_time="$PPD_FUZZ_SECONDS" \
  -max_len=16384 -timeout=20 -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/ppd- ||
  others_failed=1
background_failed=0
wait "$background_run" || background_failed=1
cat "$work/background.log"
if [ "$background_failed" = 1 ] || [ "$others_failed" = 1 ]; then
  echo "fuzzing found a problem (inputs in build-fuzz/artifacts/)" >&2
  exit 1
fi

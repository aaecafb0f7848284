# Normal build of everything (library code, program, tests, benchmarks).
set -euo pipefail
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$TESSARINE_JOBS"

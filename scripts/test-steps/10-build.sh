# Build of everything (library code, program, tests, benchmarks) in the configuration the Debian package
# is built in: Release, with its optimisation and flags (-O3 -DNDEBUG), so the tests run the code that
# ships. Line tables (-g1) only add debug information for readable failures; they do not change the code.
# Warnings in the project's own code are errors.
set -euo pipefail
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSARINE_WERROR=ON -DCMAKE_CXX_FLAGS=-g1 >/dev/null
cmake --build build -j "$TESSARINE_JOBS"

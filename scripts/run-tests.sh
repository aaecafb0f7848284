#!/usr/bin/env bash
# The whole test suite: the normal build and its tests. Later steps (sanitizers, fuzzing, real printers)
# are added here as they come.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

echo "== build (RelWithDebInfo)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"

echo "== tests"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build -j "$jobs" --output-on-failure --timeout 600

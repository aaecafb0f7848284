#!/usr/bin/env bash
# Builds Tessarine (installing what it needs) and runs it, passing the arguments on.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
tessarine_install "${TESSARINE_PACKAGES[@]}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target tessarine
exec build/app/tessarine "$@"

#!/usr/bin/env bash
# Builds Tessarine and runs the whole test suite (installing and starting what the tests need).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
tessarine_install "${TESSARINE_PACKAGES[@]}" "${TESSARINE_TEST_PACKAGES[@]}"
exec scripts/run-tests.sh "$@"

# Every unit, widget and integration test of the normal build.
set -euo pipefail
ctest --test-dir build -j "$TESSARINE_JOBS" --output-on-failure --timeout 600

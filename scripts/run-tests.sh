#!/usr/bin/env bash
# The whole test suite. Each step is one script in scripts/test-steps/, run in name order; a step that
# fails stops the suite. The last step's summary line is the suite's closing line.
set -euo pipefail
cd "$(dirname "$0")/.."
export TESSARINE_JOBS=${TESSARINE_JOBS:-$(nproc)}
export QT_QPA_PLATFORM=offscreen

for step in scripts/test-steps/*.sh; do
  echo "== $(basename "$step" .sh)"
  bash "$step"
done

#!/usr/bin/env bash
# The whole test suite. Each step is one script in scripts/test-steps/, run in name order; a step that
# fails stops the suite. Each step ends with its time, and the suite with the time of all steps.
set -euo pipefail
cd "$(dirname "$0")/.."
export TESSARINE_JOBS=${TESSARINE_JOBS:-$(nproc)}
export QT_QPA_PLATFORM=offscreen

started=$SECONDS
for step in scripts/test-steps/*.sh; do
  echo "== $(basename "$step" .sh)"
  step_started=$SECONDS
  bash "$step"
  echo "== $(basename "$step" .sh): $((SECONDS - step_started)) s"
done
echo "== all steps: $((SECONDS - started)) s"

#!/usr/bin/env bash
# The whole test suite. Each step is one script in scripts/test-steps/, run in name order; a step that
# fails stops the suite. Each step ends with its time, and the suite with the time of all steps. Beside the
# wall-clock time each step gives the processor time its processes used (user and system, all cores), which
# other work on a shared machine does not inflate as much.
set -euo pipefail
cd "$(dirname "$0")/.."
export TESSARINE_JOBS=${TESSARINE_JOBS:-$(nproc)}
export QT_QPA_PLATFORM=offscreen

# Processor time of all finished child processes so far, in whole seconds, into $cpu (`times` runs in this
# shell, not in a subshell, which would have children of its own).
cpu_file=$(mktemp)
trap 'rm -f "$cpu_file"' EXIT
read_cpu() {
  times >"$cpu_file"
  cpu=$(awk 'function secs(t,  m) { m = t; sub(/m.*/, "", m); sub(/^[0-9]+m/, "", t); sub(/s$/, "", t); return m * 60 + t }
    NR == 2 { printf "%d", secs($1) + secs($2) }' "$cpu_file")
}

started=$SECONDS
read_cpu
cpu_started=$cpu
for step in scripts/test-steps/*.sh; do
  echo "== $(basename "$step" .sh)"
  step_started=$SECONDS
  read_cpu
  step_cpu=$cpu
  bash "$step"
  read_cpu
  echo "== $(basename "$step" .sh): $((SECONDS - step_started)) s (processor $((cpu - step_cpu)) s)"
done
read_cpu
echo "== all steps: $((SECONDS - started)) s (processor $((cpu - cpu_started)) s)"

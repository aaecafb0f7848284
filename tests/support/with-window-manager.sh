#!/usr/bin/env bash
# Runs a command on a virtual display (Xvfb, 1920 x 1200) managed by the openbox window manager, so its
# windows get real window-manager frames. Exits 77 (the test counts as skipped) when Xvfb or openbox is
# not installed.
set -uo pipefail
for tool in Xvfb openbox; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIPPED: $tool is not installed (scripts/setup.sh installs it); without a window manager windows" \
      "get no frame to test" >&2
    exit 77
  fi
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
mkfifo "$work/display" "$work/wm-ready"
# Opened for reading and writing, the pipes do not wait for a writer, so a helper that never starts times out.
exec 4<>"$work/display" 5<>"$work/wm-ready"

# Xvfb takes a free display and writes its number once it accepts connections.
Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp 3>&4 4>&- 5>&- >"$work/xvfb.log" 2>&1 &
pids+=($!)
if ! read -r -t 60 -u 4 display || [ -z "$display" ]; then
  echo "Xvfb did not start:" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$display"

# openbox runs its start-up command once it manages the display's windows.
openbox --startup "sh -c 'echo ready > $work/wm-ready'" 4>&- 5>&- >"$work/openbox.log" 2>&1 &
pids+=($!)
if ! read -r -t 60 -u 5 _; then
  echo "openbox did not start:" >&2
  cat "$work/openbox.log" >&2
  exit 1
fi

exec 4>&- 5>&-
QT_QPA_PLATFORM=xcb "$@"
status=$?
exit "$status"

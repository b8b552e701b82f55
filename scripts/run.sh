#!/usr/bin/env bash
# Installs what is needed, builds, and starts Vantorel Mouse; arguments go on to
# the program (see build/VantorelMouse --help). Without a real mouse the
# simulated one is used; without a display the program renders offscreen and
# saves a picture of each page into screenshots/ instead of waiting.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh"
"$here/scripts/build.sh" "$here/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTOREL_TESTS=OFF -DVANTOREL_BENCH=OFF
prog="$here/build/VantorelMouse"

args=()
if node=$("$here/scripts/find-mouse.sh" "$here/build/config.xml" 2>/dev/null); then
  echo "Vantorel mouse found at $node."
else
  echo "No Vantorel mouse found: using the simulated one."
  args+=(--simulate)
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  out="$here/screenshots"
  echo "No display: rendering offscreen into $out"
  "$prog" "${args[@]}" --screenshot "$out" "$@"
  ls -1 "$out"
else
  exec "$prog" "${args[@]}" "$@"
fi

#!/usr/bin/env bash
# Installs what is needed, builds, and starts Vantorel Mouse. Without a real mouse
# the simulated one is used; without a display the program runs offscreen and
# saves a screenshot of each page instead of waiting.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh"
"$here/scripts/build.sh" "$here/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTOREL_TESTS=OFF -DVANTOREL_BENCH=OFF
prog="$here/build/VantorelMouse"

args=()
if ! "$here/scripts/find-mouse.sh" "$here/build/config.xml" >/dev/null 2>&1; then
  echo "No Vantorel mouse found: using the simulated one."
  args+=(--simulate)
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  out="$here/screenshots"
  echo "No display: rendering offscreen into $out"
  SDL_VIDEODRIVER=offscreen "$prog" "${args[@]}" --screenshot "$out" "$@"
  ls -1 "$out"
else
  exec "$prog" "${args[@]}" "$@"
fi

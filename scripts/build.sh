#!/usr/bin/env bash
# Configures and builds into a folder: build.sh <build-dir> [cmake options...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-"$here/build"}
shift || true
gen=()
command -v ninja >/dev/null && gen=(-G Ninja)
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S "$here" -B "$dir" "${gen[@]}" "$@"
else
  cmake -S "$here" -B "$dir" "$@" >/dev/null
fi
cmake --build "$dir" -j"$(nproc)"

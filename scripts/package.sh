#!/usr/bin/env bash
# Builds the Debian package of Vantorel Mouse with CPack:
#   package.sh [--no-build] [BUILD_DIR [OUT_DIR]]
# Without --no-build it installs what is needed and makes a Release build in BUILD_DIR
# (default build-package/); with it, BUILD_DIR must already be built. The .deb lands
# in OUT_DIR (default BUILD_DIR) and its path is printed last. Install it with
# `sudo apt install ./vantorel-mouse_*.deb`.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=1
if [ "${1:-}" = "--no-build" ]; then build=0; shift; fi
dir=$(realpath -m "${1:-$here/build-package}")
out=$(realpath -m "${2:-$dir}")

if [ "$build" = 1 ]; then
  "$here/scripts/setup.sh"
  # Debian's hardening flags (fortified functions, RELRO with immediate binding, ...),
  # read when the folder is first configured.
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
  CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
  LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
  export CFLAGS CXXFLAGS LDFLAGS
  "$here/scripts/build.sh" "$dir" -DCMAKE_BUILD_TYPE=Release -DVANTOREL_TESTS=OFF -DVANTOREL_BENCH=OFF
fi
[ -f "$dir/CPackConfig.cmake" ] || { echo "package.sh: $dir is not a configured build folder" >&2; exit 1; }

mkdir -p "$out"
# The staging tree goes to OUT_DIR/_CPack_Packages, so packaging never writes into a
# build folder that tests may be using.
cpack --config "$dir/CPackConfig.cmake" -G DEB -B "$out" >"$out/cpack.log" 2>&1 || {
  cat "$out/cpack.log" >&2
  exit 1
}
deb=$(ls -t "$out"/vantorel-mouse_*.deb | head -n1)
echo "$deb"

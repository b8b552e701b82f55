#!/usr/bin/env bash
# Installs every Debian package the build, the program and the tests need.
# Idempotent: packages already present are left as they are.
#   setup.sh        what building and testing need (CI runs this)
#   setup.sh --vm   additionally what tests/vm/run needs to boot its virtual machine
set -euo pipefail

packages=(
  # toolchain and test frameworks
  build-essential cmake ninja-build pkg-config git
  # the include check of the layers (tools/layers)
  python3
  # the fuzz targets (libFuzzer)
  clang
  libgtest-dev libgmock-dev libbenchmark-dev
  # toolkit: windows, drawing, text, fonts, images
  libsdl2-dev libcairo2-dev libpango1.0-dev libfontconfig-dev fonts-open-sans libgif-dev
  # the window manager's conventions and the desktop's scale settings (XSETTINGS) on X11
  libxcb1-dev x11-utils
  # Chinese, Japanese and Korean texts (fontconfig falls back to these fonts)
  fonts-noto-cjk
  # devices, storage, synthetic keys
  libhidapi-dev libudev-dev libsqlite3-dev libxtst-dev libx11-dev
  # desktop services over D-Bus (tray item, notifications, resume) and a private bus for their tests
  libglib2.0-dev dbus-daemon
  # live key and mouse input (XInput2); the file chooser portal over GDBus
  libxi-dev libglib2.0-dev
  # gettext's msgfmt checks the PO files of the translators' converter in the tests
  gettext
  # which application is in front: XCB (X11), the Wayland client library and the
  # wlroots foreign-toplevel protocol's description; a headless wlroots compositor
  # (sway) with a Wayland client (foot) and small X clients (xmessage) for its tests
  libxcb1-dev libwayland-dev libwayland-bin librust-wayland-protocols-dev sway foot x11-utils
  # screen readers' bus (the accessibility bus launcher and registry) and the
  # client library the accessibility tests read the program with
  at-spi2-core libatspi2.0-dev
  # a display for tests that need one, and the desktop helpers the program calls
  xvfb xauth xdg-utils xdotool imagemagick
  # a Wayland session for tests (headless Weston with XWayland), and the Wayland
  # clipboard the program fills there
  weston xwayland wl-clipboard
  # the Debian package (CPack, dpkg-shlibdeps) and the checks of its files
  dpkg-dev file lintian desktop-file-utils appstream mandoc man-db
)

# Optional: the virtual machine of tests/vm/run (the kernel package itself is
# downloaded by that script into its cache, not installed).
if [ "${1:-}" = "--vm" ]; then
  packages+=(qemu-system-x86 busybox-static cpio)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

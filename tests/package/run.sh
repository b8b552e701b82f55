#!/usr/bin/env bash
# The Debian package end to end, from a built folder: CPack builds it; it is listed,
# extracted, and its programs run from the extracted tree; lintian, desktop-file-validate,
# appstreamcli and mandoc check its files; the udev rule names every vendor and
# product id of the catalog; and dpkg installs it into a scratch root and removes it
# again without leaving a file behind.
#   run.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "${1:?usage: run.sh BUILD_DIR}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
step() { echo "== $*"; }

app=com.vantorel.mouse
prog=usr/lib/vantorel-mouse

step "building the package"
deb=$("$here/scripts/package.sh" --no-build "$build" "$work/out" | tail -n1)
[ -f "$deb" ] || fail "no package was built"
echo "$deb"

step "listing it"
dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./||; s|/$||' >"$work/list"
for f in usr/bin/VantorelMouse usr/bin/vantorelctl \
  $prog/VantorelMouse $prog/vantorelctl $prog/libOrvix.so $prog/libVantorelBase.so $prog/config.xml \
  $prog/language/1033.lan $prog/language/1036.lan $prog/language/1031.lan $prog/language/2052.lan \
  $prog/language/1041.lan $prog/language/1042.lan $prog/device/vantorel_v8.xml $prog/skins/theme1/main_bkg.png \
  usr/lib/udev/rules.d/70-vantorel-mouse.rules \
  usr/share/applications/$app.desktop usr/share/metainfo/$app.metainfo.xml \
  usr/share/icons/hicolor/scalable/apps/$app.svg \
  usr/share/man/man1/VantorelMouse.1.gz usr/share/man/man1/vantorelctl.1.gz \
  usr/share/dbus-1/interfaces/com.vantorel.Mouse1.Device.xml \
  usr/share/vantorel-mouse/screenshots/key.png usr/share/vantorel-mouse/screenshots/devices.png \
  usr/share/doc/vantorel-mouse/copyright usr/share/doc/vantorel-mouse/changelog.gz; do
  grep -qx "$f" "$work/list" || fail "$f is not in the package"
done
for size in 16 24 32 48 64 128 256; do
  grep -qx "usr/share/icons/hicolor/${size}x${size}/apps/$app.png" "$work/list" || fail "no ${size}px icon"
done
# Build-time tools, tests and the root-only UHID helper stay out.
if grep -E '(^|/)(test_|bench_|skingen|udevgen|icongen|lanpo|vantorel_uhid|\.stamp)|\.md$' "$work/list"; then
  fail "build files in the package"
fi
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for d in libc6 libsdl2 libhidapi-hidraw0 libudev1 libsqlite3 fonts-open-sans fonts-noto-cjk; do
  grep -q "$d" <<<"$depends" || fail "Depends lacks $d"
done
# Outputs are taken whole before grep -q looks at them: with pipefail, a writer cut
# off by grep's early exit would fail the check.
postinst=$(dpkg-deb -I "$deb" postinst)
grep -q 'udevadm control --reload-rules' <<<"$postinst" || fail "postinst does not reload udev"

step "running the extracted programs"
root=$work/root
dpkg-deb -x "$deb" "$root"
[ "$(readlink "$root/usr/bin/vantorelctl")" = ../lib/vantorel-mouse/vantorelctl ] || fail "bin link"
unset LD_LIBRARY_PATH
libraries=$(ldd "$root/$prog/VantorelMouse")
grep -q "libOrvix.so => $root/$prog/libOrvix.so" <<<"$libraries" ||
  fail "libOrvix.so is not found beside the program: $(grep Orvix <<<"$libraries")"
grep -q "libVantorelBase.so => $root/$prog/libVantorelBase.so" <<<"$libraries" ||
  fail "libVantorelBase.so is not found beside the program: $(grep VantorelBase <<<"$libraries")"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/config XDG_DATA_HOME=$work/home/data
export XDG_RUNTIME_DIR=$work/home/run SDL_VIDEODRIVER=offscreen
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
"$root/usr/bin/vantorelctl" --simulate info >"$work/info.txt" || fail "vantorelctl --simulate info: $?"
cat "$work/info.txt"
grep -q '3A5C:0108' "$work/info.txt" || fail "vantorelctl did not reach the simulated mouse"
[ "$("$root/usr/bin/vantorelctl" --version)" = "vantorelctl $(dpkg-deb -f "$deb" Version)" ] || fail "vantorelctl --version"
"$root/usr/bin/vantorelctl" keys | grep -q '^  report_rate ' || fail "vantorelctl keys"
"$root/usr/bin/VantorelMouse" --simulate --screenshot "$work/shots" || fail "VantorelMouse --screenshot: $?"
[ -s "$work/shots/main.png" ] || fail "no screenshot of the main window"
ls "$work/shots"

step "desktop entry, metadata and manual pages"
desktop-file-validate "$root/usr/share/applications/$app.desktop"
metainfo=$root/usr/share/metainfo/$app.metainfo.xml
appstreamcli validate --no-net --pedantic "$metainfo"
grep -q '<control>pointing</control>' "$metainfo" || fail "the metadata does not recommend a pointing device"
grep -q '<screenshot type="default">' "$metainfo" || fail "the metadata has no screenshots"
for shot in $(sed -nE 's|.*<image[^>]*>https://[^<]*/screenshots/([a-z]+\.png)</image>.*|\1|p' "$metainfo"); do
  [ -s "$root/usr/share/vantorel-mouse/screenshots/$shot" ] || fail "screenshot $shot is not in the package"
done
for page in "$root"/usr/share/man/man1/*.1.gz; do
  mandoc -T lint -W style "$page" || fail "mandoc: $page"
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man: $page: $warnings"
done

step "udev rule"
rule=$root/usr/lib/udev/rules.d/70-vantorel-mouse.rules
cat "$rule"
# Every <mode vid=".." pid=".."/> of the catalog, as VID:PID in upper case.
ids=$(grep -oiE '<mode[^>]*>' "$here/data/config.xml" |
  sed -nE 's/.*vid="([0-9a-fA-F]{4})".*pid="([0-9a-fA-F]{4})".*/\1:\2/p' | tr 'a-f' 'A-F' | sort -u)
[ -n "$ids" ] || fail "no ids in the catalog"
for id in $ids; do
  grep -E "^SUBSYSTEM==\"hidraw\", KERNELS==\"\*:$id\.\*\", TAG\+=\"uaccess\"$" "$rule" >/dev/null ||
    fail "the rule does not give access to $id"
  grep -q "<modalias>usb:v${id%%:*}p${id##*:}d\*</modalias>" "$metainfo" || fail "the metadata has no modalias for $id"
done
grep -qx 'KERNEL=="uinput", SUBSYSTEM=="misc", OPTIONS+="static_node=uinput", TAG+="uaccess"' "$rule" ||
  fail "the rule does not give the session's user /dev/uinput"

step "lintian"
lintian --fail-on error --tag-display-limit 0 --display-info "$deb" | tee "$work/lintian.txt" ||
  fail "lintian reports errors"

step "installing into a scratch root and removing"
inst=$work/inst
admin=$inst/var/lib/dpkg
mkdir -p "$admin/info" "$admin/updates" "$admin/triggers"
touch "$admin/status" "$admin/available"
dpkg_scratch() {
  dpkg --instdir="$inst" --admindir="$admin" --force-script-chrootless --force-not-root --force-depends \
    --no-triggers --log=/dev/null "$@"
}
dpkg_scratch -i "$deb" >"$work/dpkg.txt" 2>&1 || { cat "$work/dpkg.txt"; fail "dpkg -i"; }
[ -x "$inst/$prog/vantorelctl" ] && [ -f "$inst/usr/lib/udev/rules.d/70-vantorel-mouse.rules" ] ||
  fail "files missing after dpkg -i"
dpkg_scratch -P vantorel-mouse >>"$work/dpkg.txt" 2>&1 || { cat "$work/dpkg.txt"; fail "dpkg -P"; }
left=$(cd "$inst" && find . -path ./var/lib/dpkg -prune -o \( -type f -o -type l \) -print)
[ -z "$left" ] || fail "left behind after purge: $left"

echo "package test passed"

#!/usr/bin/env bash
# Exits 0 when a hidraw device with a vendor id and product id from the catalog
# is present: find-mouse.sh <config.xml>. Prints the device node it found.
# VANTOREL_HIDRAW_CLASS names another sysfs class folder (for tests).
set -u
catalog=${1:?catalog}
class=${VANTOREL_HIDRAW_CLASS:-/sys/class/hidraw}
[ -f "$catalog" ] || exit 1
# Every <mode ... vid="3A5C" ... pid="0108" .../> of the catalog, as VID:PID in upper case.
ids=$(grep -oiE '<mode[^>]*>' "$catalog" |
      sed -nE 's/.*vid="([0-9a-fA-F]{4})".*pid="([0-9a-fA-F]{4})".*/\1:\2/p' | tr 'a-f' 'A-F' | sort -u)
[ -n "$ids" ] || exit 1
for uevent in "$class"/hidraw*/device/uevent; do
  [ -f "$uevent" ] || continue
  id=$(sed -nE 's/^HID_ID=[0-9A-Fa-f]+:0*([0-9A-Fa-f]{1,4}):0*([0-9A-Fa-f]{1,4})$/\1:\2/p' "$uevent")
  [ -n "$id" ] || continue
  v=$(printf '%04X' "0x${id%%:*}"); p=$(printf '%04X' "0x${id##*:}")
  if grep -qx "$v:$p" <<<"$ids"; then
    node=${uevent%/device/uevent}
    echo "/dev/${node##*/}"
    exit 0
  fi
done
exit 1

#!/usr/bin/env bash
# Exits 0 when a hidraw device with a vendor id and product id from the catalog is present.
set -u
catalog=${1:?catalog}
[ -f "$catalog" ] || exit 1
ids=$(grep -oiE 'vid="[0-9a-f]{4}"[^>]*pid="[0-9a-f]{4}"' "$catalog" |
      sed -E 's/vid="([0-9a-fA-F]{4})".*pid="([0-9a-fA-F]{4})"/\1:\2/' | tr 'a-f' 'A-F' | sort -u)
[ -n "$ids" ] || exit 1
for uevent in /sys/class/hidraw/hidraw*/device/uevent; do
  [ -f "$uevent" ] || continue
  id=$(sed -nE 's/^HID_ID=[0-9A-Fa-f]+:0*([0-9A-Fa-f]{1,4}):0*([0-9A-Fa-f]{1,4})$/\1:\2/p' "$uevent" | tr 'a-f' 'A-F')
  [ -n "$id" ] || continue
  v=$(printf '%04X' "0x${id%%:*}"); p=$(printf '%04X' "0x${id##*:}")
  if grep -qx "$v:$p" <<<"$ids"; then exit 0; fi
done
exit 1

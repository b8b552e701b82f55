#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a while on a corpus seeded with
# the shipped data files. CI runs each for 20 seconds (scripts/test.sh).
#   tests/fuzz/run.sh [seconds] [target...]   default 180 s, every target;
#   the corpora stay in build-fuzz/corpus/<target>. Exit code 1 on a finding.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
out="$here/build-fuzz"
seconds=${1:-180}
shift || true

if ! command -v clang++ >/dev/null; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq && apt-get install -y -qq --no-install-recommends clang
fi

xml=(exchange/XmlDocument.cpp exchange/XmlEncodings.cpp exchange/XmlText.cpp)
base=(base/TextConv.cpp base/FileUtil.cpp base/ParseInt.cpp base/Trace.cpp)
store=(storage/DataStore.cpp storage/DataStoreTables.cpp storage/SQLiteDB.cpp storage/ConfigDefaults.cpp
  base/Folders.cpp base/AppContext.cpp base/SettingsStore.cpp base/IniFile.cpp)
declare -A sources=(
  [xml_document_fuzz]="${xml[*]} ${base[*]}"
  [ini_file_fuzz]="base/IniFile.cpp ${base[*]}"
  [catalog_fuzz]="device/DeviceCatalog.cpp base/ButtonFunction.cpp base/KeyCodes.cpp ${xml[*]} ${base[*]}
    base/Folders.cpp base/AppContext.cpp base/SettingsStore.cpp base/IniFile.cpp"
  [exchange_fuzz]="exchange/ExchangeFiles.cpp base/LanguageText.cpp features/AppProfileRules.cpp base/ButtonFunction.cpp base/KeyCodes.cpp
    protocol/MacroImage.cpp protocol/Report.cpp ${xml[*]} ${base[*]} ${store[*]}"
  [reports_fuzz]="protocol/DeviceState.cpp protocol/Notification.cpp protocol/Report.cpp ${base[*]}"
)
declare -A libraries=([exchange_fuzz]="-lsqlite3")
declare -A seeds=(
  [xml_document_fuzz]="data/config.xml data/device/*.xml"
  [ini_file_fuzz]="data/language/*.lan"
  [catalog_fuzz]="data/config.xml data/device/*.xml"
  [exchange_fuzz]="tests/fuzz/seeds/*.xml"
  [reports_fuzz]=""
)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(xml_document_fuzz ini_file_fuzz catalog_fuzz exchange_fuzz reports_fuzz)

mkdir -p "$out"
for target in "${targets[@]}"; do
  files=()
  for f in ${sources[$target]}; do files+=("$here/$f"); done
  # Objects are not shared between targets: each is a handful of files.
  clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I "$here" -o "$out/$target" "$here/tests/fuzz/$target.cc" "${files[@]}" ${libraries[$target]:-}
done

failed=0
for target in "${targets[@]}"; do
  corpus="$out/corpus/$target"
  mkdir -p "$corpus"
  (cd "$here" && for seed in ${seeds[$target]}; do [ -f "$seed" ] && cp "$seed" "$corpus/"; done) || true
  dict=()
  case $target in xml_document_fuzz|catalog_fuzz|exchange_fuzz) dict=(-dict="$here/tests/fuzz/xml.dict");; esac
  echo "== $target, $seconds s"
  if ! (cd "$out" && "./$target" -max_total_time="$seconds" -max_len=16384 -timeout=10 -rss_limit_mb=2048 \
      "${dict[@]}" -print_final_stats=1 "$corpus" 2>&1 | tail -n 25); then
    failed=1
  fi
done
exit $failed

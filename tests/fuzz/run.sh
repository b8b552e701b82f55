#!/usr/bin/env bash
# Builds the XmlDocument fuzz target with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs it on a corpus seeded with the shipped XML
# files. Optional; CI does not run it.
#   tests/fuzz/run.sh [seconds]      default 180; the corpus stays in build-fuzz/corpus
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
out="$here/build-fuzz"
seconds=${1:-180}

if ! command -v clang++ >/dev/null; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq && apt-get install -y -qq --no-install-recommends clang
fi

mkdir -p "$out/corpus"
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I "$here" -o "$out/xml_document_fuzz" \
  "$here/tests/fuzz/xml_document_fuzz.cc" "$here/exchange/XmlDocument.cpp" "$here/exchange/XmlEncodings.cpp" \
  "$here/exchange/XmlText.cpp" "$here/orvix/core/TextConv.cpp"
cp "$here/data/config.xml" "$here"/data/device/*.xml "$out/corpus/"

cd "$out"
./xml_document_fuzz -max_total_time="$seconds" -max_len=16384 -timeout=10 -rss_limit_mb=2048 \
  -dict="$here/tests/fuzz/xml.dict" -print_final_stats=1 corpus

#!/usr/bin/env bash
# The bookmark readers' throughput, natively (host g++ -O2, Google Benchmark,
# liblz4 to write the Firefox backup), against the small Win32 stand-in the
# fuzzers use: Wine may run emulated, these figures do not.
#
#   scripts/bench-native.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build}/bench-native
mkdir -p "$out"
g++ -std=c++17 -O2 -DNDEBUG -I tests/fuzz/shim -I src -I src/resources -o "$out/readers" \
  tests/bench/native/readers_bench.cpp src/setup/bookmark_json.cpp src/setup/mozlz4.cpp \
  src/setup/bookmark_file.cpp src/launch/action_kind.cpp tests/fuzz/shim/shim.cpp -lbenchmark -lpthread -llz4
"$out/readers" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_out="$out/readers.json" --benchmark_out_format=json
echo "written: $out/readers.json"

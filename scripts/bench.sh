#!/usr/bin/env bash
# Runs the benchmark program (inside scripts/with-wine.sh); it prints the
# table and writes build/bench.json.
set -euo pipefail
build=${1:-build}
cd "$build"
wine tests/bench/bench.exe "${*:2}" 2> >(grep -v "Read access denied" >&2)
echo "written: $build/bench.json"

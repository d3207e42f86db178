#!/usr/bin/env bash
# Builds and runs the benchmark (Release, gcc) in build/bench and writes the
# table of median ns per pixel and ratios to build/bench/bench-table.md.
# Extra arguments go to Google Benchmark, e.g. --benchmark_filter=night/565.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/bench
cmake -S . -B "${build}" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DGLIMFX_BUILD_TESTS=OFF -DGLIMFX_BUILD_BENCH=ON >/dev/null
cmake --build "${build}" --target glimfx_bench
{
  echo "machine: $(lscpu | sed -n 's/^Model name: *//p' | head -1), $(nproc) cores"
  echo "command: tools/bench.sh $*"
} | tee "${build}/bench-header.txt"
"${build}/bench/glimfx_bench" --table="${build}/bench-table.md" "$@" | tee "${build}/bench.log"
echo "table: ${build}/bench-table.md"

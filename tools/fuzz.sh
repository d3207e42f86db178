#!/usr/bin/env bash
# Builds the libFuzzer target with clang (ASan + coverage) in build/fuzz and
# runs it for a bounded time. Usage: tools/fuzz.sh [seconds, default 60]
# A failure leaves the crashing input in build/fuzz/artifacts/; replay it with
# build/fuzz/fuzz/fuzz_replay <file>.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
build=build/fuzz
cmake -S . -B "${build}" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DGLIMFX_BUILD_TESTS=OFF -DGLIMFX_FUZZ=ON >/dev/null
cmake --build "${build}" --target blit_fuzzer fuzz_replay

corpus="${build}/corpus"
mkdir -p "${corpus}" "${build}/artifacts"
# The replay driver's seed set also runs under ASan here, before fuzzing.
"${build}/fuzz/fuzz_replay"
"${build}/fuzz/blit_fuzzer" -max_total_time="${seconds}" -max_len=64 \
  -print_final_stats=1 -artifact_prefix="${build}/artifacts/" "${corpus}"

#!/usr/bin/env bash
# Runs every test: native (plain, then ASan+UBSan), the 32-bit and 64-bit
# Windows builds under Wine, and the bounded fuzz runs.
set -euo pipefail
cd "$(dirname "$0")/.."

./tools/bootstrap.sh
source tools/wine_env.sh

presets=(linux linux-asan windows-x86 windows-x64)
[ $# -gt 0 ] && presets=("$@")

for preset in "${presets[@]}"; do
  echo "=== ${preset}"
  cmake --preset "${preset}" >/dev/null
  cmake --build --preset "${preset}"
  ctest --preset "${preset}"
done

# Bounded fuzzing of every path against the scalar one, on full runs only
# (GLIMFX_FUZZ_SECONDS=0 skips it).
if [ $# -eq 0 ] && [ "${GLIMFX_FUZZ_SECONDS:-60}" != 0 ]; then
  echo "=== fuzz"
  ./tools/fuzz.sh "${GLIMFX_FUZZ_SECONDS:-60}"
fi

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

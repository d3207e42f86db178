#!/usr/bin/env bash
# Builds and runs the benchmark, then remakes the README's summary, the full
# table (docs/benchmarks.md) and the plot (docs/images/speed.png).
#   - Linux, Release gcc, in build/bench: Google Benchmark, JSON report;
#   - the shipped 32-bit and 64-bit DLLs, built in build/bench-windows-x86
#     and build/bench-windows-x64, timed under Wine by glimfx_bench_dll.
# Extra arguments go to Google Benchmark, e.g. --benchmark_filter=night/565.
# Takes about five minutes on two cores.
#
#   tools/bench.sh --ab REV [flags]
# times the exports of REV's library (a, any git revision) and of this work
# tree's (b), loaded side by side in one process with their repetitions
# interleaved, on every workload, and prints b/a for each: the Linux build,
# then the DLLs (in alternating rounds). Writes nothing else.
set -euo pipefail
cd "$(dirname "$0")/.."

ab_rev=""
if [ "${1:-}" = --ab ]; then
  ab_rev=${2:?"usage: tools/bench.sh --ab REV [benchmark flags]"}
  shift 2
fi

./tools/bootstrap.sh
machine="$(lscpu | sed -n 's/^Model name: *//p' | head -1), $(nproc) cores"
build=build/bench
cmake -S . -B "${build}" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DGLIMFX_BUILD_TESTS=OFF -DGLIMFX_BUILD_BENCH=ON >/dev/null
cmake --build "${build}" --target glimfx_bench -j2

if [ -n "${ab_rev}" ]; then
  ab=build/bench-ab
  rm -rf "${ab}/src"
  mkdir -p "${ab}/src"
  git archive "${ab_rev}" | tar -x -C "${ab}/src"
  cmake -S "${ab}/src" -B "${ab}/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DGLIMFX_BUILD_TESTS=OFF >/dev/null
  cmake --build "${ab}/build" --target glimfx -j2
  # Two files, so the loader keeps two copies apart.
  cp -L "${ab}/build/blend/libglimfx.so" "${ab}/a.so"
  cp -L "${build}/blend/libglimfx.so" "${ab}/b.so"
  echo "a: ${ab_rev} ($(git rev-parse --short "${ab_rev}")), b: this work tree"
  echo "machine: ${machine}"
  "${build}/bench/glimfx_bench" --compare "${ab}/a.so" "${ab}/b.so" \
    --benchmark_repetitions=30 --benchmark_report_aggregates_only=false \
    --benchmark_display_aggregates_only=true --benchmark_out="${ab}/ab.json" \
    --benchmark_out_format=json "$@" >"${ab}/ab.log"
  echo "=== linux"
  /usr/bin/python3 tools/bench_ab.py "${ab}/ab.json"
fi
source tools/wine_env.sh
# Where 32-bit programs run under an emulator (tools/bootstrap.sh), the 32-bit
# DLL's times would be the emulator's, so it is left out of the report.
archs=(x86:i686 x64:x86_64)
dll32=(--dll32 build/bench-windows-x86/bench-{1,2,3}.json)
if wine_env_i386_emulated; then
  echo "bench: 32-bit programs run under qemu-i386 here: the 32-bit DLL is not timed"
  archs=(x64:x86_64)
  dll32=()
fi
for arch in "${archs[@]}"; do
  dir=build/bench-windows-${arch%%:*}
  cmake -S . -B "${dir}" -G Ninja --no-warn-unused-cli -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-${arch##*:}-w64-mingw32.cmake" \
    -DGLIMFX_BUILD_TESTS=OFF -DGLIMFX_BUILD_BENCH=ON >/dev/null
  cmake --build "${dir}" --target glimfx_bench_dll -j2
done

if [ -n "${ab_rev}" ]; then
  for arch in "${archs[@]}"; do
    name=${arch%%:*}
    base=${ab}/build-windows-${name}
    cmake -S "${ab}/src" -B "${base}" -G Ninja --no-warn-unused-cli -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="${PWD}/cmake/toolchain-${arch##*:}-w64-mingw32.cmake" \
      -DGLIMFX_BUILD_TESTS=OFF >/dev/null
    cmake --build "${base}" --target glimfx -j2
    dir=build/bench-windows-${name}/bench
    cp "${base}/blend/glimfx.dll" "${dir}/a.dll"
    cp "${dir}/glimfx.dll" "${dir}/b.dll"
    (cd "${dir}" && wine glimfx_bench_dll.exe ab.json "" a.dll b.dll >ab.log)
    echo "=== windows-${name} DLL"
    /usr/bin/python3 tools/bench_ab.py "${dir}/ab.json"
  done
  exit 0
fi

echo "machine: ${machine}"
"${build}/bench/glimfx_bench" --benchmark_out="${build}/bench.json" \
  --benchmark_out_format=json "$@" | tee "${build}/bench.log"

# Three rounds of both DLLs in turn; the report takes each entry's median.
for round in 1 2 3; do
  for arch in "${archs[@]}"; do
    dir=build/bench-windows-${arch%%:*}
    # Run from the driver's folder: it loads glimfx.dll from there by name.
    (cd "${dir}/bench" && wine glimfx_bench_dll.exe "../bench-${round}.json") |
      tee "${dir}/bench-${round}.log"
  done
done

# Debian's python3 (matplotlib comes from python3-matplotlib), whatever
# python3 comes first on PATH.
/usr/bin/python3 tools/bench_report_test.py
/usr/bin/python3 tools/bench_report.py --linux "${build}/bench.json" \
  --dll64 build/bench-windows-x64/bench-{1,2,3}.json \
  "${dll32[@]}" \
  --targets bench/targets.json --readme README.md --table docs/benchmarks.md \
  --plot docs/images/speed.png --machine "${machine}" --command "tools/bench.sh${*:+ $*}"
echo "written: README.md (summary), docs/benchmarks.md, docs/images/speed.png"

#!/usr/bin/env bash
# Installs a built tree into a temporary prefix, then builds and runs a tiny
# host against the installed files only: once through find_package, once
# through pkg-config.
# With --prefix, the tree is already installed (an unpacked release archive).
# usage: install_consumer.sh BUILD_DIR | --prefix DIR  [TOOLCHAIN_FILE C_COMPILER]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/glimfx-consumer.XXXXXX")
trap 'rm -rf "$work"' EXIT

if [ "$1" = --prefix ]; then
  prefix=$(cd "$2" && pwd)
  shift 2
else
  prefix=$work/prefix
  cmake --install "$1" --prefix "$prefix" >/dev/null
  shift
fi
toolchain=${1:-}
cc=${2:-cc}

run() {  # runs a built consumer with the installed library beside it or on its path
  local exe=$1
  if [ -n "$toolchain" ]; then
    cp "$prefix/bin/glimfx.dll" "$(dirname "$exe")/"  # Windows looks beside the program
    wine "$exe"
  else
    "$exe"
  fi
}

echo "--- find_package"
cmake_args=(-S "$here/consumer" -B "$work/cmake" -G Ninja -DCMAKE_BUILD_TYPE=Release
            -DCMAKE_PREFIX_PATH="$prefix")
[ -n "$toolchain" ] && cmake_args+=(-DCMAKE_TOOLCHAIN_FILE="$toolchain")
cmake "${cmake_args[@]}" >/dev/null
cmake --build "$work/cmake" >/dev/null
exe=$work/cmake/consumer
[ -n "$toolchain" ] && exe=$exe.exe
run "$exe"

echo "--- pkg-config"
pcdir=$(dirname "$(find "$prefix" -name glimfx.pc)")
export PKG_CONFIG_LIBDIR=$pcdir PKG_CONFIG_PATH=
version=$(pkg-config --modversion glimfx)
read -r -a flags <<<"$(pkg-config --cflags --libs glimfx)"
mkdir -p "$work/pc"
if [ -n "$toolchain" ]; then
  "$cc" -Wall -Wextra -Werror -DGLIMFX_EXPECTED_VERSION="\"$version\"" "$here/consumer/consumer.c" \
    "${flags[@]}" -lversion -static-libgcc -o "$work/pc/consumer.exe"
  run "$work/pc/consumer.exe"
else
  "$cc" -Wall -Wextra -Werror -DGLIMFX_EXPECTED_VERSION="\"$version\"" "$here/consumer/consumer.c" \
    "${flags[@]}" -Wl,-rpath,"$(pkg-config --variable=libdir glimfx)" -o "$work/pc/consumer"
  run "$work/pc/consumer"
fi

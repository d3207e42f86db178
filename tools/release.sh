#!/usr/bin/env bash
# Builds the release archives under dist/ and checks what is inside them:
#   ocxfixer-VERSION.zip                the player's zip: ocxfixer.exe and LEEME.txt
#   glimfx-VERSION-windows-x86.zip      for host developers: library, header,
#   glimfx-VERSION-windows-x64.zip        .def, import libraries for MinGW and
#   glimfx-VERSION-linux-x86_64.tar.gz    MSVC-style linkers and glimfx.bas
#                                         (Windows), CMake and pkg-config
#                                         files, LICENSE, glimfx-demo
# The three controls that ocxfixer installs are not ours to ship; put them in
# a folder named by GLIMFX_OCX_DIR to have them added to the player's zip.
# GLIMFX_RELEASE_BUILD (default build/release) and GLIMFX_DIST (default dist)
# move the build folders and the output.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

build_root=${GLIMFX_RELEASE_BUILD:-build/release}
dist=${GLIMFX_DIST:-dist}
mkdir -p "$build_root" "$dist"
build_root=$(cd "$build_root" && pwd)
dist=$(cd "$dist" && pwd)

./tools/bootstrap.sh

build() {  # build PRESET: configures and builds without tests into build_root/PRESET
  local preset=$1
  cmake --preset "$preset" -B "$build_root/$preset" -DGLIMFX_BUILD_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build_root/$preset" >/dev/null
}

for preset in windows-x86 windows-x64 linux; do
  echo "release: building $preset"
  build "$preset"
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_root/linux/CMakeCache.txt")

# Every file gets the time of the last commit, so archives of one commit
# differ only if their contents do.
epoch=$(git log -1 --format=%ct 2>/dev/null || date +%s)
stage=$(mktemp -d "${TMPDIR:-/tmp}/glimfx-release.XXXXXX")
trap 'rm -rf "$stage"' EXIT

settle() { find "$1" -exec touch -h -d "@$epoch" {} +; }

dev_archive() {  # dev_archive PRESET NAME
  local preset=$1 name=glimfx-$version-$2
  local dir=$stage/$name
  cmake --install "$build_root/$preset" --prefix "$dir" --strip >/dev/null
  cp LICENSE "$dir/LICENSE"
  settle "$dir"
  rm -f "$dist/$name".*
  if [ "$preset" = linux ]; then
    tar -C "$stage" --sort=name --owner=0 --group=0 --numeric-owner -czf "$dist/$name.tar.gz" \
      "$name"
  else
    (cd "$stage" && find "$name" | LC_ALL=C sort | zip -qX -@ "$dist/$name.zip")
  fi
  echo "release: $dist/$name.$([ "$preset" = linux ] && echo tar.gz || echo zip)"
}

dev_archive windows-x86 windows-x86
dev_archive windows-x64 windows-x64
dev_archive linux linux-x86_64

exe=$build_root/windows-x86/installer/ocxfixer.exe
if [ ! -f "$exe" ]; then
  echo "release: $exe was not built" >&2
  exit 1
fi
player=$stage/ocxfixer-$version
mkdir -p "$player"
cp "$exe" tools/release/LEEME.txt "$player/"
i686-w64-mingw32-strip "$player/ocxfixer.exe"
if [ -n "${GLIMFX_OCX_DIR:-}" ]; then
  for control in msinet.ocx RICHTX32.OCX CSWSK32.OCX; do
    cp "$GLIMFX_OCX_DIR/$control" "$player/"
  done
else
  echo "release: GLIMFX_OCX_DIR not set; the player's zip holds no controls" >&2
fi
settle "$player"
rm -f "$dist/ocxfixer-$version.zip"
(cd "$player" && LC_ALL=C ls | zip -qX -@ "$dist/ocxfixer-$version.zip")
echo "release: $dist/ocxfixer-$version.zip"

"$root/tests/package/check_release.sh" "$dist" "$version"

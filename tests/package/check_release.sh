#!/usr/bin/env bash
# Unpacks each release archive and checks what is inside: the exact file
# list, each Windows binary against its allow-list in tests/pe (machine,
# Windows version, every import), the exports and version resources, the
# names that glimfx.lib binds, glimfx.bas against the header beside it, the
# player's LEEME, and that a host builds and runs against each developer
# archive.
# usage: check_release.sh DIST_DIR VERSION
set -uo pipefail
dist=$1
version=$2
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

work=$(mktemp -d "${TMPDIR:-/tmp}/glimfx-check.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

unpack() {  # unpack ARCHIVE -> prints the folder it went to
  local archive=$1 into=$work/$(basename "$1")
  mkdir -p "$into"
  case "$archive" in
    *.zip) unzip -q "$archive" -d "$into" ;;
    *.tar.gz) tar -xzf "$archive" -C "$into" ;;
  esac
  echo "$into"
}

expect_files() {  # expect_files DIR NAME... : DIR holds exactly these files and links
  local dir=$1
  shift
  local want got
  want=$(printf '%s\n' "$@" | LC_ALL=C sort)
  got=$(cd "$dir" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort)
  if [ "$want" != "$got" ]; then
    fail "$dir: files differ from the expected list"
    diff <(echo "$want") <(echo "$got") | sed 's/^/    /'
  fi
}

check_pe() {  # check_pe FILE ARCH DESCRIPTION_WORD
  local file=$1 arch=$2 word=$3
  [ -f "$file" ] || { fail "$file missing"; return; }
  # Machine, Windows version and every import, against the file's allow-list.
  python3 "$root/tests/pe/check_pe.py" "$root/tests/pe/$(basename "$file")-$arch.txt" "$file" \
    >"$work/pe.log" 2>&1 || { fail "$file: PE check"; sed 's/^/    /' "$work/pe.log"; }
  local rc
  rc=$(x86_64-w64-mingw32-windres -i "$file" -O rc 2>/dev/null)
  grep -q "VALUE \"ProductVersion\", \"$version\"" <<<"$rc" ||
    fail "$file: version resource lacks ProductVersion $version"
  grep -q "FILEVERSION ${version//./, }, 0" <<<"$rc" || fail "$file: FILEVERSION is not $version"
  grep -q "VALUE \"FileDescription\", \".*$word" <<<"$rc" ||
    fail "$file: version resource lacks a description"
}

check_exports() {  # check_exports DLL: exactly the two routines, by name
  local names
  names=$(x86_64-w64-mingw32-objdump -p "$1" |
    sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^\s*\[ *[0-9]*\] //p' | tr '\n' ' ')
  [ "$names" = "BltAlphaFast BltEfectoNoche " ] || fail "$1 exports '$names'"
}

check_import_lib() {  # check_import_lib LIB ARCH: Microsoft's format, binding the plain names
  local want got arch
  if [ "$2" = x86 ]; then
    arch=i386 want="undecorate _BltAlphaFast@28 undecorate _BltEfectoNoche@20 "
  else
    arch=x86_64 want="name BltAlphaFast name BltEfectoNoche "
  fi
  got=$(llvm-readobj "$1" | awk '/^Name type:/ {print $3} /^Symbol:/ && $2 !~ /^__imp_/ {print $2}' |
    tr '\n' ' ')
  [ "$got" = "$want" ] || fail "$1 imports '$got', expected '$want'"
  if llvm-readobj "$1" | grep '^Arch:' | grep -qv "Arch: $arch$"; then fail "$1 is not all $arch"; fi
}

consume() {  # consume PREFIX [TOOLCHAIN CC]: a host builds against the unpacked tree
  if ! bash "$here/install_consumer.sh" --prefix "$@" >"$work/consumer.log" 2>&1; then
    fail "host build against $1"
    sed 's/^/    /' "$work/consumer.log"
  fi
}

cmake_files=(lib/cmake/glimfx/glimfxConfig.cmake lib/cmake/glimfx/glimfxConfigVersion.cmake
             lib/cmake/glimfx/glimfxTargets.cmake lib/cmake/glimfx/glimfxTargets-release.cmake
             lib/pkgconfig/glimfx.pc include/glimfx.h LICENSE share/doc/glimfx/LICENSE)

for arch in x86 x64; do
  archive=$dist/glimfx-$version-windows-$arch.zip
  [ -f "$archive" ] || { fail "$archive missing"; continue; }
  top=$(unpack "$archive")/glimfx-$version-windows-$arch
  expect_files "$top" "${cmake_files[@]}" bin/glimfx.dll bin/glimfx-demo.exe lib/glimfx.def \
    lib/glimfx.dll.a lib/glimfx.lib include/glimfx.bas
  check_pe "$top/bin/glimfx.dll" $arch glimfx
  check_pe "$top/bin/glimfx-demo.exe" $arch glimfx
  check_exports "$top/bin/glimfx.dll"
  check_import_lib "$top/lib/glimfx.lib" $arch
  python3 "$root/tests/host/check_bas.py" "$top/include/glimfx.h" "$top/lib/glimfx.def" \
    "$top/include/glimfx.bas" >"$work/bas.log" 2>&1 ||
    { fail "$arch glimfx.bas against glimfx.h"; sed 's/^/    /' "$work/bas.log"; }
  grep -q "^Version: $version$" "$top/lib/pkgconfig/glimfx.pc" || fail "$arch glimfx.pc version"
  if command -v wine >/dev/null; then
    toolchain=$root/cmake/toolchain-$([ $arch = x86 ] && echo i686 || echo x86_64)-w64-mingw32.cmake
    consume "$top" "$toolchain" "$([ $arch = x86 ] && echo i686 || echo x86_64)-w64-mingw32-gcc-posix"
  fi
done

archive=$dist/glimfx-$version-linux-x86_64.tar.gz
if [ -f "$archive" ]; then
  top=$(unpack "$archive")/glimfx-$version-linux-x86_64
  expect_files "$top" "${cmake_files[@]}" bin/glimfx-demo lib/libglimfx.so lib/libglimfx.so.1 \
    "lib/libglimfx.so.$version"
  readelf -d "$top/lib/libglimfx.so.$version" | grep -q 'SONAME.*\[libglimfx\.so\.1\]' ||
    fail "linux library soname"
  exports=$(nm -D --defined-only "$top/lib/libglimfx.so.$version" | awk '$2 == "T" {print $3}' |
    LC_ALL=C sort | tr '\n' ' ')
  [ "$exports" = "BltAlphaFast BltEfectoNoche " ] || fail "linux library exports '$exports'"
  consume "$top"
else
  fail "$archive missing"
fi

archive=$dist/ocxfixer-$version.zip
if [ -f "$archive" ]; then
  top=$(unpack "$archive")
  controls=()
  for control in msinet.ocx RICHTX32.OCX CSWSK32.OCX; do
    [ -f "$top/$control" ] && controls+=("$control")
  done
  # The controls are optional (see tools/release.sh); all three or none.
  [ ${#controls[@]} -eq 0 ] || [ ${#controls[@]} -eq 3 ] || fail "player's zip: some controls only"
  expect_files "$top" ocxfixer.exe LEEME.txt "${controls[@]}"
  check_pe "$top/ocxfixer.exe" x86 DK
  for step in "1ro) Descomprime el zip." "2do) Ve donde tienes instalado DRAKMORA" \
    "3ro) Crea una carpeta llamada dkproblemas" "4to) Copia todo lo que tenia el zip dentro." \
    "5to) Corre este exe nuevamente."; do
    grep -qF "$step" "$top/LEEME.txt" || fail "LEEME.txt lacks '$step'"
  done
  grep -q $'\r$' "$top/LEEME.txt" || fail "LEEME.txt lines do not end in CR LF"
else
  fail "$archive missing"
fi

if [ $failures -ne 0 ]; then
  echo "check_release: $failures failure(s)"
  exit 1
fi
echo "check_release: all archives of $version ok"

#!/usr/bin/env bash
# Installs what the builds and tests need from Debian, only when missing, and
# lets 32-bit x86 programs run where the kernel cannot run them itself.
# Safe to run again: a fully provisioned machine costs one dpkg query.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang clang-format libclang-rt-14-dev llvm lld
  libgtest-dev googletest libbenchmark-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64
  wine wine32:i386 wine32-preloader:i386 wine64 tmux bsdextrautils
  libsdl2-dev libpixman-1-dev libstb-dev libcli11-dev zip unzip pkg-config
  qemu-user g++-multilib
  python3-matplotlib
  python3-pefile
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

need_root() {
  if [ "$(id -u)" -ne 0 ]; then
    echo "bootstrap: $1" >&2
    echo "bootstrap: run as root: sudo $0" >&2
    exit 1
  fi
}

install_missing() {
  need_root "missing packages: ${missing[*]}"

  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  # A mirror in the middle of a sync serves index files of the wrong size for a
  # while; a later try usually gets a whole set. Past the last try, go on with
  # what was fetched.
  for try in 1 2 3; do
    log=$(apt-get update -qq 2>&1 || true)
    grep -q '^E:' <<<"$log" || break
    echo "$log" >&2
    [ "$try" -lt 3 ] && sleep $((try * 15))
  done
  install=(apt-get install -y -qq --no-install-recommends)
  if ! "${install[@]}" "${missing[@]}" >/dev/null; then
    # With one architecture's index of an update suite missing, a library's two
    # architectures (which must match) can be offered at different versions;
    # the release's own suite has both at one.
    release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    [ -n "$release" ] || exit 1
    echo "bootstrap: retrying from $release alone" >&2
    "${install[@]}" -t "$release" "${missing[@]}" >/dev/null
  fi
  echo "bootstrap: installed ${missing[*]}"
}
[ ${#missing[@]} -eq 0 ] || install_missing

# Some virtual machines run no 32-bit x86 code (the kernel refuses it as an
# unknown format): the 32-bit Linux tests and the 32-bit half of Wine then
# run under qemu-i386, registered as the handler of 32-bit x86 programs.
# Wine's preloader (above) keeps that fast: without it, qemu searches its
# guest's nearly full address space page by page at every allocation, and a
# 32-bit program took 40 s to start.
status=0
/usr/lib/wine/wine-preloader >/dev/null 2>&1 || status=$?
if [ "${status}" -eq 126 ]; then
  binfmt=/proc/sys/fs/binfmt_misc
  if [ ! -e "${binfmt}/qemu-i386" ]; then
    need_root "this kernel runs no 32-bit x86 programs; qemu-i386 must be registered for them"
    [ -e "${binfmt}/register" ] || mount -t binfmt_misc binfmt_misc "${binfmt}"
    # The ELF header of a 32-bit x86 executable or shared object.
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    echo ":qemu-i386:M::${magic}:${mask}:/usr/bin/qemu-i386:F" >"${binfmt}/register"
    echo "bootstrap: 32-bit x86 programs run under qemu-i386 on this machine"
  fi
fi

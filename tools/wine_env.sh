# Sourced by the scripts: one quiet Wine prefix per run, made ready once
# (a fresh prefix costs 10-20 s on its first start). A prefix made here is
# removed by wine_env_cleanup, which the EXIT trap runs; a script that sets
# its own EXIT trap calls it from there.
export WINEDEBUG=-all
# Whether 32-bit programs, Wine's 32-bit half among them, run under qemu-i386
# here: tools/bootstrap.sh registers it where the kernel runs no 32-bit code.
wine_env_i386_emulated() { grep -qx enabled /proc/sys/fs/binfmt_misc/qemu-i386 2>/dev/null; }
export WINEDLLOVERRIDES="mscoree,mshtml="
wine_env_own_prefix=""
if [ -z "${WINEPREFIX:-}" ]; then
  WINEPREFIX="$(mktemp -d /tmp/glimfx-wine.XXXXXX)"
  export WINEPREFIX
  wine_env_own_prefix="${WINEPREFIX}"
fi
wine_env_cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${wine_env_own_prefix}" ]; then rm -rf "${wine_env_own_prefix}"; fi
}
trap wine_env_cleanup EXIT
if [ ! -f "${WINEPREFIX}/system.reg" ]; then
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi

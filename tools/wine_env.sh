# Sourced by the scripts: one quiet Wine prefix per run, made ready once
# (a fresh prefix costs 10-20 s on its first start).
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ -z "${WINEPREFIX:-}" ]; then
  WINEPREFIX="$(mktemp -d /tmp/glimfx-wine.XXXXXX)"
  export WINEPREFIX
  trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "${WINEPREFIX}"' EXIT
fi
if [ ! -f "${WINEPREFIX}/system.reg" ]; then
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi

#!/usr/bin/env bash
# The main job: builds ocxfixer.exe (32-bit Windows) and starts it under Wine,
# interactively in this terminal, from a throw-away game folder:
#   /tmp/drakmora-demo.XXXXXX/dkproblemas/{ocxfixer.exe, msinet.ocx, RICHTX32.OCX, CSWSK32.OCX}
# The three .ocx files are STAND-INS built by this project (tiny DLLs whose
# DllRegisterServer succeeds), not the real ActiveX controls.
# Everything, including the Wine prefix, is deleted when the run ends.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ ! -t 0 ] || [ ! -t 1 ]; then
  echo "run.sh: start it from a terminal: ocxfixer is an interactive console program" >&2
  exit 2
fi

build="${OCXFIXER_BUILD_DIR:-build/windows-x86}"
./tools/bootstrap.sh
cmake --preset windows-x86 -B "${build}" >/dev/null
cmake --build "${build}" --target ocxfixer standin_msinet standin_richtx32 standin_cswsk32

own_prefix=0
[ -z "${WINEPREFIX:-}" ] && own_prefix=1
echo "Preparing a fresh Wine prefix (the first start takes a while)..."
source tools/wine_env.sh

game="$(mktemp -d /tmp/drakmora-demo.XXXXXX)"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "${game}"
  if [ "${own_prefix}" -eq 1 ]; then rm -rf "${WINEPREFIX}"; fi
}
trap cleanup EXIT

mkdir "${game}/dkproblemas"
cp "${build}/installer/ocxfixer.exe" "${game}/dkproblemas/"
for control in msinet.ocx RICHTX32.OCX CSWSK32.OCX; do
  cp "${build}/tests/installer/standin_controls/${control}" "${game}/dkproblemas/"
done

cd "${game}/dkproblemas"
status=0
wine ocxfixer.exe || status=$?
printf '\033[0m\n\nocxfixer.exe ended with status %d.\n' "${status}"
echo "Game folder ${game}:"
ls -l "${game}" | sed 1d
for folder in system syswow64; do
  found="$(ls "${WINEPREFIX}/drive_c/windows/${folder}" | grep -i '^msinet\.ocx' | tr '\n' ' ' || true)"
  echo "c:\\windows\\${folder}: ${found:-no msinet.ocx}"
done
exit "${status}"

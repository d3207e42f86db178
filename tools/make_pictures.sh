#!/usr/bin/env bash
# Redraws the project's own pictures (assets/) and the before/after pictures
# of both effects in every pixel layout (docs/images/), all with glimfx-demo
# and the library built for Linux.
# usage: tools/make_pictures.sh   (GLIMFX_PICTURES_BUILD picks the build folder)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${GLIMFX_PICTURES_BUILD:-build/linux}
cmake --preset linux -B "$build" >/dev/null
cmake --build "$build" --target glimfx-demo glimfx_make_assets >/dev/null

"$build/demo/glimfx_make_assets" assets
demo=$build/demo/glimfx-demo
out=docs/images
mkdir -p "$out"
for format in 555 565 24 32; do
  "$demo" convert assets/background.png --format "$format" -o "$out/before-$format.png"
  "$demo" alpha assets/background.png assets/sprite.png --at 37,29 --format "$format" \
    -o "$out/alpha-$format.png"
  "$demo" noche assets/background.png --format "$format" -o "$out/noche-$format.png"
  "$demo" noche assets/background.png --rect 8,8,72,56 --times 3 --format "$format" \
    -o "$out/noche-rect3-$format.png"
done
echo "make_pictures: wrote assets/ and $out/"

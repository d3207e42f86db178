/* The public header must compile as plain C and its declarations must match
 * the definitions, calling convention included. */
#include "glimfx.h"

int GlimfxCHeaderRoundTrip(void) {
  uint16_t dest[3] = {0x7FFF, 0x7FFF, 0x7FFF};
  const uint16_t src[3] = {0x0000, 0x0001, 0x0000};
  uint8_t pixel[4] = {0xFF, 0xFF, 0xFF, 0xFF};
  GlimfxBltAlphaFastFn blend = BltAlphaFast;
  GlimfxBltEfectoNocheFn night = BltEfectoNoche;
  if (blend(dest, src, 3, 1, 6, 6, GLIMFX_FORMAT_555) != 0) return 1;
  if (dest[0] != 0x7BDE || dest[1] != 0x3DEF || dest[2] != 0x7FFF) return 2;
  if (night(pixel, 1, 1, 4, GLIMFX_FORMAT_32) != 0) return 3;
  if (pixel[0] != 0x7F || pixel[1] != 0x7F || pixel[2] != 0x9F || pixel[3] != 0x7F) return 4;
  if (night(pixel, 1, 1, 4, 2u) != -1) return 5;
  return 0;
}

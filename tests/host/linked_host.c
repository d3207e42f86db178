/* A host that links the library through its import library (or the shared
 * object) instead of loading it by name: proves the link-time names match
 * what glimfx.h declares, calling convention included. */
#include <stdio.h>
#include <string.h>

#include "glimfx.h"

int main(void) {
  uint16_t dest[3] = {0x7FFF, 0x7FFF, 0x7FFF};
  const uint16_t src[3] = {0x0000, 0x0001, 0x0000};
  const uint16_t want_blend[3] = {0x7BDE, 0x3DEF, 0x7FFF};
  uint8_t night[4] = {0xFF, 0xFF, 0xFF, 0xFF};
  const uint8_t want_night[4] = {0x7F, 0x7F, 0x9F, 0x7F};
  int failures = 0;

  if (BltAlphaFast(dest, src, 3, 1, 6, 6, GLIMFX_FORMAT_555) != 0 ||
      memcmp(dest, want_blend, sizeof dest) != 0) {
    fprintf(stderr, "BltAlphaFast: wrong result through the import library\n");
    ++failures;
  }
  if (BltEfectoNoche(night, 1, 1, 4, GLIMFX_FORMAT_32) != 0 ||
      memcmp(night, want_night, sizeof night) != 0) {
    fprintf(stderr, "BltEfectoNoche: wrong result through the import library\n");
    ++failures;
  }
  if (BltEfectoNoche(night, 1, 1, 4, 2u) != -1) {
    fprintf(stderr, "BltEfectoNoche: format 2 not rejected\n");
    ++failures;
  }
  printf("%d passed, %d failed\n", 3 - failures, failures);
  return failures == 0 ? 0 : 1;
}

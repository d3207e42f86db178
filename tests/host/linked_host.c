/* A host that links the library through its import library (or the shared
 * object) instead of loading it by name: proves the link-time names match
 * what glimfx.h declares, calling convention included. The calls and the
 * results they must give are the C header test's. */
#include <stdio.h>

int GlimfxCHeaderRoundTrip(void);

int main(void) {
  const int step = GlimfxCHeaderRoundTrip();
  if (step != 0) {
    fprintf(stderr, "step %d of the C round trip went wrong through the import library\n", step);
    return 1;
  }
  printf("both exports: ok through the import library\n");
  return 0;
}

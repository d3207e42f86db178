/* Links glimfx through its import library or shared object (no loading by
 * name) and checks one known result of each export. On Windows it also reads
 * the version resource of the glimfx.dll it runs with. */
#include <glimfx.h>
#include <stdio.h>
#include <string.h>

#ifdef _WIN32
#include <windows.h>
#endif

static int failures = 0;

static void Expect(int ok, const char* what) {
  if (!ok) {
    printf("FAIL: %s\n", what);
    ++failures;
  }
}

#ifdef _WIN32
static void CheckVersionResource(void) {
  char path[MAX_PATH];
  HMODULE module = GetModuleHandleA("glimfx.dll");
  Expect(module != NULL, "glimfx.dll is loaded");
  if (module == NULL || GetModuleFileNameA(module, path, MAX_PATH) == 0) return;
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  Expect(size > 0, "glimfx.dll has a version resource");
  if (size == 0) return;
  static char info[8192];
  if (size > sizeof info || !GetFileVersionInfoA(path, 0, size, info)) {
    Expect(0, "version resource is readable");
    return;
  }
  char* value = NULL;
  UINT length = 0;
  Expect(
      VerQueryValueA(info, "\\StringFileInfo\\040904B0\\ProductVersion", (void**)&value, &length) &&
          strcmp(value, GLIMFX_EXPECTED_VERSION) == 0,
      "ProductVersion matches the package version");
  Expect(VerQueryValueA(info, "\\StringFileInfo\\040904B0\\ProductName", (void**)&value, &length) &&
             strcmp(value, "glimfx") == 0,
         "ProductName is glimfx");
  VS_FIXEDFILEINFO* fixed = NULL;
  Expect(VerQueryValueA(info, "\\", (void**)&fixed, &length) && fixed != NULL &&
             fixed->dwSignature == 0xFEEF04BD,
         "fixed file info present");
}
#endif

int main(void) {
  /* A 5-6-5 pair whose right source pixel is the key colour. */
  uint16_t dest[2] = {0xFFFF, 0xFFFF};
  const uint16_t src[2] = {0x0001, 0x0000};
  Expect(BltAlphaFast(dest, src, 2, 1, 4, 4, GLIMFX_FORMAT_565) == 0, "BltAlphaFast returns 0");
  Expect(dest[0] == 0x7BEF && dest[1] == 0xF7DE, "BltAlphaFast blends the pair");

  uint8_t pixel[4] = {0xFF, 0xFF, 0xFF, 0x5A};
  Expect(BltEfectoNoche(pixel, 1, 1, 3, GLIMFX_FORMAT_24) == 0, "BltEfectoNoche returns 0");
  Expect(pixel[0] == 0x7F && pixel[1] == 0x7F && pixel[2] == 0x9F && pixel[3] == 0x5A,
         "BltEfectoNoche darkens exactly one 24-bit pixel");
  Expect(BltEfectoNoche(pixel, 1, 1, 3, 2u) == -1, "format 2 is rejected");

#ifdef _WIN32
  CheckVersionResource();
#endif
  if (failures == 0) printf("consumer %s: ok\n", GLIMFX_EXPECTED_VERSION);
  return failures == 0 ? 0 : 1;
}

// BltEfectoNoche: darkens a rectangle in place for a night-time look.
#include "blits.h"
#include "glimfx.h"
#include "noche_rows.h"
#include "pixel_format.h"
#include "row_walk.h"

namespace glimfx {
namespace {

using NocheRow = void (*)(uint8_t*, int32_t);

NocheRow ScalarRow(uint32_t format) {
  switch (format) {
    case kFormat555:
      return NocheRow555_Scalar;
    case kFormat565:
      return NocheRow565_Scalar;
    case kFormat24:
      return NocheRow24_Scalar;
    default:
      return NocheRow32_Scalar;
  }
}

NocheRow PickRow(Isa isa, uint32_t format) {
  (void)isa;
  return ScalarRow(format);
}

}  // namespace

int32_t BltNoche(Isa isa, uint8_t* surface, int32_t width, int32_t height, int32_t pitch,
                 uint32_t format) {
  if (!IsSupportedFormat(format)) return kStatusBadFormat;
  // Outside the caller's contract: touch nothing.
  if (width <= 0 || height <= 0) return kStatusDone;
  WalkRows(surface, width, height, pitch, PickRow(isa, format));
  return kStatusDone;
}

}  // namespace glimfx

extern "C" GLIMFX_API int32_t GLIMFX_CALL BltEfectoNoche(void* surface, int32_t width,
                                                         int32_t height, int32_t pitch,
                                                         uint32_t pixelFormat) {
  return glimfx::BltNoche(glimfx::DetectIsa(), static_cast<uint8_t*>(surface), width, height,
                          pitch, pixelFormat);
}

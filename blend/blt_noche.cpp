// BltEfectoNoche: darkens a rectangle in place for a night-time look.
#include "blits.h"
#include "glimfx.h"
#include "noche_rows.h"
#include "pixel_format.h"
#include "row_walk.h"
#include "simd_rows.h"

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
#if defined(GLIMFX_HAVE_AVX2)
  if (isa == Isa::kAvx2) {
    switch (format) {
      case kFormat555:
        return NocheRow555_Avx2;
      case kFormat565:
        return NocheRow565_Avx2;
      case kFormat24:
        return NocheRow24_Avx2;
      default:
        return NocheRow32_Avx2;
    }
  }
#endif
#if defined(GLIMFX_HAVE_SSE2)
  if (isa == Isa::kSse2) {
    switch (format) {
      case kFormat555:
        return NocheRow555_Sse2;
      case kFormat565:
        return NocheRow565_Sse2;
      case kFormat24:
        return NocheRow24_Sse2;
      default:
        return NocheRow32_Sse2;
    }
  }
#endif
  (void)isa;
  return ScalarRow(format);
}

// `isa` is known to be usable here.
int32_t Darken(Isa isa, uint8_t* surface, int32_t width, int32_t height, int32_t pitch,
               uint32_t format) {
  if (!IsSupportedFormat(format)) return kStatusBadFormat;
  // Outside the caller's contract: touch nothing.
  if (width <= 0 || height <= 0) return kStatusDone;
  WalkRows(surface, width, height, pitch, PickRow(isa, format));
  return kStatusDone;
}

}  // namespace

int32_t BltNoche(Isa isa, uint8_t* surface, int32_t width, int32_t height, int32_t pitch,
                 uint32_t format) {
  return Darken(IsaSupported(isa) ? isa : DetectIsa(), surface, width, height, pitch, format);
}

}  // namespace glimfx

extern "C" GLIMFX_API int32_t GLIMFX_CALL BltEfectoNoche(void* surface, int32_t width,
                                                         int32_t height, int32_t pitch,
                                                         uint32_t pixelFormat) {
  return glimfx::Darken(glimfx::DetectIsa(), static_cast<uint8_t*>(surface), width, height, pitch,
                        pixelFormat);
}

// BltEfectoNoche: darkens a rectangle in place for a night-time look.
#include <cstdint>

#include "blits.h"
#include "glimfx.h"
#include "noche_rows.h"
#include "pixel_format.h"
#include "row_walk.h"
#include "simd_rows.h"

namespace glimfx {
namespace {

using NocheRect = void (*)(uint8_t*, int32_t, int32_t, int32_t);

NocheRect PickRect(Isa isa, uint32_t format) {
#if defined(GLIMFX_HAVE_AVX2)
  if (isa == Isa::kAvx2) {
    switch (format) {
      case kFormat555:
        return NocheRect555_Avx2;
      case kFormat565:
        return NocheRect565_Avx2;
      case kFormat24:
        return NocheRect24_Avx2;
      default:
        return NocheRect32_Avx2;
    }
  }
#endif
#if defined(GLIMFX_HAVE_SSE2)
  if (isa == Isa::kSse2) {
    switch (format) {
      case kFormat555:
        return NocheRect555_Sse2;
      case kFormat565:
        return NocheRect565_Sse2;
      case kFormat24:
        return NocheRect24_Sse2;
      default:
        return NocheRect32_Sse2;
    }
  }
#endif
  (void)isa;
  switch (format) {
    case kFormat555:
      return WalkRect<NocheRow555_Scalar>;
    case kFormat565:
      return WalkRect<NocheRow565_Scalar>;
    case kFormat24:
      return WalkRect<NocheRow24_Scalar>;
    default:
      return WalkRect<NocheRow32_Scalar>;
  }
}

// `isa` is known to be usable here.
int32_t Darken(Isa isa, uint8_t* surface, int32_t width, int32_t height, int32_t pitch,
               uint32_t format) {
  if (!IsSupportedFormat(format)) return kStatusBadFormat;
  // Outside the caller's contract: touch nothing.
  if (width <= 0 || height <= 0) return kStatusDone;
  // Rows that follow each other without a gap are one long row, walked with
  // no per-row cost, as long as the rule is the same for every pixel (in
  // 5-6-5 only when whole groups fill each row, so groups stay in place).
  const int64_t pixels = int64_t{width} * height;
  if (height > 1 && pitch == int64_t{width} * BytesPerPixel(format) && pixels <= INT32_MAX &&
      (format != kFormat565 || (width & 3) == 0)) {
    width = static_cast<int32_t>(pixels);
    height = 1;
  }
  PickRect(isa, format)(surface, width, height, pitch);
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

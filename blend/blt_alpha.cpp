// BltAlphaFast: half-opacity blit with key pixels, in four pixel layouts.
#include "alpha_rows.h"
#include "blits.h"
#include "glimfx.h"
#include "pixel_format.h"
#include "row_walk.h"
#include "simd_rows.h"

namespace glimfx {
namespace {

using AlphaRect = void (*)(uint8_t*, const uint8_t*, int32_t, int32_t, int32_t, int32_t);

AlphaRect PickRect(Isa isa, uint32_t format) {
#if defined(GLIMFX_HAVE_AVX2)
  if (isa == Isa::kAvx2) {
    switch (format) {
      case kFormat555:
        return AlphaRect555_Avx2;
      case kFormat565:
        return AlphaRect565_Avx2;
      case kFormat24:
        return AlphaRect24_Avx2;
      default:
        return AlphaRect32_Avx2;
    }
  }
#endif
#if defined(GLIMFX_HAVE_SSE2)
  if (isa == Isa::kSse2) {
    switch (format) {
      case kFormat555:
        return AlphaRect555_Sse2;
      case kFormat565:
        return AlphaRect565_Sse2;
      case kFormat24:
        return AlphaRect24_Sse2;
      default:
        return AlphaRect32_Sse2;
    }
  }
#endif
  (void)isa;
  switch (format) {
    case kFormat555:
      return WalkRect<AlphaRow555_Scalar>;
    case kFormat565:
      return WalkRect<AlphaRow565_Scalar>;
    case kFormat24:
      return WalkRect<AlphaRow24_Scalar>;
    default:
      return WalkRect<AlphaRow32_Scalar>;
  }
}

// `isa` is known to be usable here.
int32_t Blend(Isa isa, uint8_t* dest, const uint8_t* src, int32_t width, int32_t height,
              int32_t src_pitch, int32_t dest_pitch, uint32_t format) {
  if (!IsSupportedFormat(format)) return kStatusBadFormat;
  // Outside the caller's contract: touch nothing.
  if (width <= 0 || height <= 0) return kStatusDone;
  PickRect(isa, format)(dest, src, width, height, src_pitch, dest_pitch);
  return kStatusDone;
}

}  // namespace

int32_t BltAlpha(Isa isa, uint8_t* dest, const uint8_t* src, int32_t width, int32_t height,
                 int32_t src_pitch, int32_t dest_pitch, uint32_t format) {
  return Blend(IsaSupported(isa) ? isa : DetectIsa(), dest, src, width, height, src_pitch,
               dest_pitch, format);
}

}  // namespace glimfx

extern "C" GLIMFX_API int32_t GLIMFX_CALL BltAlphaFast(void* dest, const void* src, int32_t width,
                                                       int32_t height, int32_t srcPitch,
                                                       int32_t destPitch, uint32_t pixelFormat) {
  return glimfx::Blend(glimfx::DetectIsa(), static_cast<uint8_t*>(dest),
                       static_cast<const uint8_t*>(src), width, height, srcPitch, destPitch,
                       pixelFormat);
}

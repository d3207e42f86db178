// BltAlphaFast: half-opacity blit with key pixels, in four pixel layouts.
#include <cstdint>

#include "glimfx.h"
#include "paths.h"
#include "pixel_format.h"

namespace glimfx {
namespace {

// `isa` is known to be usable here.
int32_t BlendOn(Isa isa, uint8_t* dest, const uint8_t* src, int32_t width, int32_t height,
                int32_t src_pitch, int32_t dest_pitch, uint32_t format) {
  const int32_t layout = LayoutIndex(format);
  if (layout < 0) return kStatusBadFormat;
  // Outside the caller's contract: touch nothing.
  if (width <= 0 || height <= 0) return kStatusDone;
  kPathsByIsa[static_cast<int>(isa)]->blend[layout](dest, src, width, height, src_pitch,
                                                    dest_pitch);
  return kStatusDone;
}

}  // namespace

int32_t Blend(Isa isa, uint8_t* dest, const uint8_t* src, int32_t width, int32_t height,
              int32_t src_pitch, int32_t dest_pitch, uint32_t format) {
  return BlendOn(IsaSupported(isa) ? isa : DetectIsa(), dest, src, width, height, src_pitch,
                 dest_pitch, format);
}

}  // namespace glimfx

extern "C" GLIMFX_API int32_t GLIMFX_CALL BltAlphaFast(void* dest, const void* src, int32_t width,
                                                       int32_t height, int32_t srcPitch,
                                                       int32_t destPitch, uint32_t pixelFormat) {
  return glimfx::BlendOn(glimfx::DetectIsa(), static_cast<uint8_t*>(dest),
                         static_cast<const uint8_t*>(src), width, height, srcPitch, destPitch,
                         pixelFormat);
}

// BltEfectoNoche: darkens a rectangle in place for a night-time look.
#include <cstdint>

#include "glimfx.h"
#include "paths.h"
#include "pixel_format.h"

namespace glimfx {
namespace {

// `isa` is known to be usable here.
int32_t NightOn(Isa isa, uint8_t* surface, int32_t width, int32_t height, int32_t pitch,
                uint32_t format) {
  const int32_t layout = LayoutIndex(format);
  if (layout < 0) return kStatusBadFormat;
  // Outside the caller's contract: touch nothing.
  if (width <= 0 || height <= 0) return kStatusDone;
  if (NightRowsJoin(width, height, pitch, format)) {
    width *= height;
    height = 1;
  }
  kPathsByIsa[static_cast<int>(isa)]->night[layout](surface, width, height, pitch);
  return kStatusDone;
}

}  // namespace

// Rows that follow each other without a gap are one long row, walked with no
// per-row cost, as long as the rule is the same for every pixel (in 5-6-5
// only when whole groups fill each row, so groups stay in place) and the
// pixels still fit one row's count.
bool NightRowsJoin(int32_t width, int32_t height, int32_t pitch, uint32_t format) {
  return height > 1 && pitch == int64_t{width} * BytesPerPixel(format) &&
         int64_t{width} * height <= INT32_MAX && (format != kFormat565 || (width & 3) == 0);
}

int32_t Night(Isa isa, uint8_t* surface, int32_t width, int32_t height, int32_t pitch,
              uint32_t format) {
  return NightOn(IsaSupported(isa) ? isa : DetectIsa(), surface, width, height, pitch, format);
}

}  // namespace glimfx

extern "C" GLIMFX_API int32_t GLIMFX_CALL BltEfectoNoche(void* surface, int32_t width,
                                                         int32_t height, int32_t pitch,
                                                         uint32_t pixelFormat) {
  return glimfx::NightOn(glimfx::DetectIsa(), static_cast<uint8_t*>(surface), width, height, pitch,
                         pixelFormat);
}

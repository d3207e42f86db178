// BltAlphaFast: half-opacity blit with key pixels, in four pixel layouts.
#include <algorithm>
#include <cstdint>

#include "glimfx.h"
#include "paths.h"
#include "pixel_format.h"

namespace glimfx {
namespace {

int64_t Address(const void* p) { return static_cast<int64_t>(reinterpret_cast<uintptr_t>(p)); }

// Whether some destination row starts after its own source row's first byte
// and before its end. Only there can a row that reads source ahead of its
// stores (every vector row does) see other values than the in-order blit,
// which reads each source pixel after every earlier pixel is written. Row
// starts are linear in the row's index, so the first and last rows bound
// the others (where the pitches differ, rows between may all miss; such
// rare calls go in order all the same).
bool DestStartsInsideSourceRow(const uint8_t* dest, const uint8_t* src, int32_t width,
                               int32_t height, int32_t src_pitch, int32_t dest_pitch,
                               uint32_t format) {
  const int64_t row_bytes = int64_t{width} * BytesPerPixel(format);
  const int64_t first = Address(dest) - Address(src);
  // One surface's pitch, or two alike: every row as the first, 0 < first < row_bytes.
  if (dest_pitch == src_pitch) {
    return static_cast<uint64_t>(first - 1) < static_cast<uint64_t>(row_bytes - 1);
  }
  const int64_t last = first + int64_t{height - 1} * (int64_t{dest_pitch} - src_pitch);
  return std::max(first, last) > 0 && std::min(first, last) < row_bytes;
}

// `isa` is known to be usable here.
int32_t BlendOn(Isa isa, uint8_t* dest, const uint8_t* src, int32_t width, int32_t height,
                int32_t src_pitch, int32_t dest_pitch, uint32_t format) {
  const int32_t layout = LayoutIndex(format);
  if (layout < 0) return kStatusBadFormat;
  // Outside the caller's contract: touch nothing.
  if (width <= 0 || height <= 0) return kStatusDone;
  // The scalar rows keep the order whatever overlaps.
  if (DestStartsInsideSourceRow(dest, src, width, height, src_pitch, dest_pitch, format)) {
    isa = Isa::kScalar;
  }
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

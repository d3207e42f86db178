// Scalar rows of the night effect, in place over `width` pixels from `p`.
// Groups of four 16-bit pixels are counted from `p`. The scalar rows are the
// reference every faster row is tested against; static inline for the same
// reason as the blend rows.
#ifndef GLIMFX_BLEND_NIGHT_ROWS_H_
#define GLIMFX_BLEND_NIGHT_ROWS_H_

#include <cstdint>

#include "pixel_format.h"
#include "pixel_io.h"

namespace glimfx {

static inline uint16_t Night555Pixel(uint16_t v) {
  return static_cast<uint16_t>(((v >> 1) & kHalfMask555) + kNightTint555);
}

static inline void NightRow555_Scalar(uint8_t* p, int32_t width) {
  const int32_t groups = width >> 2;
  for (int32_t i = 0; i < groups; ++i, p += 8) {
    Store64(p, ((Load64(p) >> 1) & kNightGroupMask555) + kNightGroupTint555);
  }
  for (int32_t i = 0; i < (width & 3); ++i, p += 2) Store16(p, Night555Pixel(Load16(p)));
}

// Lanes of four 5-6-5 pixels that are above zero as signed 16-bit numbers get
// 1 in their lowest bit, the others 0: the group rule's blue increment.
static inline uint64_t PositiveLanes565(uint64_t v) {
  constexpr uint64_t kLow15 = 0x7FFF7FFF7FFF7FFFull;
  constexpr uint64_t kTop = 0x8000800080008000ull;
  const uint64_t nonzero = (((v & kLow15) + kLow15) | v) & kTop;
  return (nonzero & ~v) >> 15;
}

// Inside a group black stays black and red >= 16 gets no increment; in the
// tail every pixel gets it. The renderer's output depends on the difference.
static inline void NightRow565_Scalar(uint8_t* p, int32_t width) {
  const int32_t groups = width >> 2;
  for (int32_t i = 0; i < groups; ++i, p += 8) {
    const uint64_t v = Load64(p);
    Store64(p, ((v & kNightPreMask565) >> 1) + PositiveLanes565(v));
  }
  for (int32_t i = 0; i < (width & 3); ++i, p += 2) {
    Store16(p, static_cast<uint16_t>(((Load16(p) >> 1) & kHalfMask565) + 1));
  }
}

static inline void NightRow24_Scalar(uint8_t* p, int32_t width) {
  for (int32_t i = 0; i < width; ++i, p += 3) {
    Store24(p, ((Load24(p) >> 1) & kHalfMask888) + kNightTint888);
  }
}

static inline void NightRow32_Scalar(uint8_t* p, int32_t width) {
  for (int32_t i = 0; i < width; ++i, p += 4) {
    Store32(p, ((Load32(p) >> 1) & kNightMask8888) + kNightTint888);
  }
}

}  // namespace glimfx

#endif  // GLIMFX_BLEND_NIGHT_ROWS_H_

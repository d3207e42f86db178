// Scalar rows of the half-blend blit. A row function treats `width` pixels
// from the row starts it is given; pairs are counted from `d`/`s`.
//
// The scalar rows are the reference every faster row is tested against.
// They are static inline so vector sources can finish a row with them without
// the linker mixing instruction sets.
#ifndef GLIMFX_BLEND_HALF_BLEND_ROWS_H_
#define GLIMFX_BLEND_HALF_BLEND_ROWS_H_

#include <cstdint>

#include "pixel_format.h"
#include "pixel_io.h"

namespace glimfx {

// 16-bit layouts: two pixels per 32-bit word. A key pixel beside a drawn one
// is blended with its own destination pixel; an all-key pair and a key pixel
// alone at the row's end are neither read nor written.
template <uint32_t kPairMask, uint16_t kHalfMask>
static inline void BlendRow16_Scalar(uint8_t* d, const uint8_t* s, int32_t width) {
  const int32_t pairs = width >> 1;
  for (int32_t i = 0; i < pairs; ++i, d += 4, s += 4) {
    uint32_t sp = Load32(s);
    if (sp == 0) continue;
    const uint32_t dp = Load32(d);
    if ((sp & 0xFFFF0000u) == 0) sp |= dp & 0xFFFF0000u;
    if ((sp & 0x0000FFFFu) == 0) sp |= dp & 0x0000FFFFu;
    Store32(d, ((dp >> 1) & kPairMask) + ((sp >> 1) & kPairMask));
  }
  if (width & 1) {
    const uint16_t sv = Load16(s);
    if (sv == 0) return;
    const uint16_t dv = Load16(d);
    Store16(d, static_cast<uint16_t>(((sv >> 1) & kHalfMask) + ((dv >> 1) & kHalfMask)));
  }
}

static inline void BlendRow555_Scalar(uint8_t* d, const uint8_t* s, int32_t width) {
  BlendRow16_Scalar<kPairMask555, kHalfMask555>(d, s, width);
}

static inline void BlendRow565_Scalar(uint8_t* d, const uint8_t* s, int32_t width) {
  BlendRow16_Scalar<kPairMask565, kHalfMask565>(d, s, width);
}

// 24-bit: each pixel one packed value of exactly three bytes.
static inline void BlendRow24_Scalar(uint8_t* d, const uint8_t* s, int32_t width) {
  for (int32_t i = 0; i < width; ++i, d += 3, s += 3) {
    const uint32_t sv = Load24(s);
    if (sv == 0) continue;
    const uint32_t dv = Load24(d);
    Store24(d, ((dv >> 1) & kHalfMask888) + ((sv >> 1) & kHalfMask888));
  }
}

// 32-bit: the top byte is no colour; it decides nothing and ends at 0.
static inline void BlendRow32_Scalar(uint8_t* d, const uint8_t* s, int32_t width) {
  for (int32_t i = 0; i < width; ++i, d += 4, s += 4) {
    const uint32_t sv = Load32(s);
    if ((sv & 0xFFFFFFu) == 0) continue;
    const uint32_t dv = Load32(d);
    Store32(d, ((dv >> 1) & kHalfMask888) + ((sv >> 1) & kHalfMask888));
  }
}

}  // namespace glimfx

#endif  // GLIMFX_BLEND_HALF_BLEND_ROWS_H_

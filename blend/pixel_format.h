// Pixel format codes, their sizes and the packed masks shared by every row of
// the library. Header-only, so hosts of the library (tests, tools) use the
// same definitions without linking the library's code.
#ifndef GLIMFX_BLEND_PIXEL_FORMAT_H_
#define GLIMFX_BLEND_PIXEL_FORMAT_H_

#include <cstdint>

#include "glimfx.h"

namespace glimfx {

constexpr uint32_t kFormat555 = GLIMFX_FORMAT_555;
constexpr uint32_t kFormat565 = GLIMFX_FORMAT_565;
constexpr uint32_t kFormat24 = GLIMFX_FORMAT_24;
constexpr uint32_t kFormat32 = GLIMFX_FORMAT_32;
constexpr uint32_t kAllFormats[] = {kFormat555, kFormat565, kFormat24, kFormat32};

// Path tables hold one entry per layout, in the order of kAllFormats.
constexpr int32_t kLayoutCount = 4;
// The layout's index, or -1 for a code the library rejects.
constexpr int32_t LayoutIndex(uint32_t format) {
  return format == kFormat555   ? 0
         : format == kFormat565 ? 1
         : format == kFormat24  ? 2
         : format == kFormat32  ? 3
                                : -1;
}

// Bytes per pixel of a supported format code.
constexpr int32_t BytesPerPixel(uint32_t format) {
  return format == kFormat24 ? 3 : format == kFormat32 ? 4 : 2;
}

constexpr int32_t kStatusDone = 0;
constexpr int32_t kStatusBadFormat = -1;

// Halving masks: after a right shift by one they drop each field's top bit,
// which holds the lowest bit of whatever lay above it.
constexpr uint16_t kHalfMask555 = 0x3DEF;  // also drops the colourless bit 15
constexpr uint32_t kPairMask555 = 0x3DEF3DEF;
constexpr uint16_t kHalfMask565 = 0x7BEF;
constexpr uint32_t kPairMask565 = 0x7BEF7BEF;
constexpr uint32_t kHalfMask888 = 0x7F7F7F;     // also drops the 32-bit top byte
constexpr uint32_t kByteHalfMask = 0x7F7F7F7F;  // every byte halved alike

// Night tints, added after halving; no field can overflow.
constexpr uint16_t kNightTint555 = 0x2800;  // red + 10
constexpr uint64_t kNightGroupMask555 = 0x3DEF3DEF3DEF3DEFull;
constexpr uint64_t kNightGroupTint555 = 0x2800280028002800ull;
constexpr uint64_t kNightPreMask565 = 0xF7DEF7DEF7DEF7DEull;  // each field's lowest bit
constexpr uint32_t kNightTint888 = 0x200000;                  // red + 0x20
constexpr uint32_t kNightMask8888 = kByteHalfMask;            // top byte halved too

}  // namespace glimfx

#endif  // GLIMFX_BLEND_PIXEL_FORMAT_H_

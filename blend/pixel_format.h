// Pixel format codes and the packed masks shared by every row of the library.
#ifndef GLIMFX_BLEND_PIXEL_FORMAT_H_
#define GLIMFX_BLEND_PIXEL_FORMAT_H_

#include <cstdint>

namespace glimfx {

enum PixelFormat : uint32_t {
  kFormat555 = 0,
  kFormat565 = 1,
  kFormat24 = 3,
  kFormat32 = 4,
};

constexpr int32_t kStatusDone = 0;
constexpr int32_t kStatusBadFormat = -1;

// Halving masks: after a right shift by one they drop each field's top bit,
// which holds the lowest bit of whatever lay above it.
constexpr uint16_t kHalfMask555 = 0x3DEF;  // also drops the colourless bit 15
constexpr uint32_t kPairMask555 = 0x3DEF3DEF;
constexpr uint16_t kHalfMask565 = 0x7BEF;
constexpr uint32_t kPairMask565 = 0x7BEF7BEF;
constexpr uint32_t kHalfMask888 = 0x7F7F7F;  // also drops the 32-bit top byte

// Night tints, added after halving; no field can overflow.
constexpr uint16_t kNightTint555 = 0x2800;  // red + 10
constexpr uint64_t kNightGroupMask555 = 0x3DEF3DEF3DEF3DEFull;
constexpr uint64_t kNightGroupTint555 = 0x2800280028002800ull;
constexpr uint64_t kNightPreMask565 = 0xF7DEF7DEF7DEF7DEull;  // each field's lowest bit
constexpr uint32_t kNightTint888 = 0x200000;                  // red + 0x20
constexpr uint32_t kNightMask8888 = 0x7F7F7F7F;               // top byte halved too

constexpr bool IsSupportedFormat(uint32_t format) {
  return format == kFormat555 || format == kFormat565 || format == kFormat24 || format == kFormat32;
}

constexpr int32_t BytesPerPixel(uint32_t format) {
  return format == kFormat24 ? 3 : format == kFormat32 ? 4 : 2;
}

}  // namespace glimfx

#endif  // GLIMFX_BLEND_PIXEL_FORMAT_H_

// Vector rows of the night effect, written once over an instruction set's
// operations `V` (see isa_ops.h) and compiled in each instruction set's own
// source. Every pixel is rewritten, so whole vectors are loaded and stored;
// groups of four 16-bit pixels fit whole vectors, so they stay counted from
// the row's first pixel. The scalar row ends each row.
#ifndef GLIMFX_BLEND_NIGHT_KERNELS_H_
#define GLIMFX_BLEND_NIGHT_KERNELS_H_

#include <cstdint>

#include "paths.h"
#include "pixel_format.h"

namespace glimfx {
namespace {

// Rewrites the row in steps of kVectors vectors, vector k of a step v as
// f(k, v), and hands the last pixels, fewer than a step, to the scalar rows
// of layout kLayout, compiled once for every path (a one-row rectangle).
template <class V, int32_t kBytesPerPixel, int32_t kVectors, int32_t kLayout, class F>
inline void NightRowByVectors(uint8_t* p, int32_t width, F f) {
  constexpr int32_t kStep = kVectors * V::kBytes / kBytesPerPixel;  // pixels
  static_assert((kStep & (kStep - 1)) == 0, "a step is a power of two of pixels");
  constexpr int32_t kShift = __builtin_ctz(kStep);
  const int32_t steps = width >> kShift;
  for (int32_t i = 0; i < steps; ++i, p += kVectors * V::kBytes) {
    for (int32_t k = 0; k < kVectors; ++k) {
      V::Store(p + k * V::kBytes, f(k, V::Load(p + k * V::kBytes)));
    }
  }
  if (const int32_t rest = width & (kStep - 1)) kScalarPaths.night[kLayout](p, rest, 1, 0);
}

template <class V>
inline void NightRow555(uint8_t* p, int32_t width) {
  const auto mask = V::Splat32(kPairMask555);
  const auto tint = V::Splat32(static_cast<uint32_t>(kNightGroupTint555));
  NightRowByVectors<V, 2, 1, LayoutIndex(kFormat555)>(
      p, width, [&](int32_t, auto v) { return V::Add(V::And(V::ShiftRight1(v), mask), tint); });
}

// The group rule: lanes above zero as signed words gain 1. Clearing each
// field's lowest bit before the shift keeps the next lane's bit out, so
// lane-wise shifts match the group's 64-bit one.
template <class V>
inline void NightRow565(uint8_t* p, int32_t width) {
  const auto pre_mask = V::Splat32(static_cast<uint32_t>(kNightPreMask565));
  // The compare gives -1 in the selected lanes; subtracting it adds 1.
  NightRowByVectors<V, 2, 1, LayoutIndex(kFormat565)>(p, width, [&](int32_t, auto v) {
    return V::Sub16(V::ShiftRight1(V::And(v, pre_mask)), V::IsPositive16(v));
  });
}

// Byte i of a 24-bit row is red when i % 3 == 2; the tint of three vectors
// of up to 32 bytes.
struct Tint24 {
  uint8_t bytes[96];
  constexpr Tint24() : bytes() {
    for (int i = 0; i < 96; ++i) bytes[i] = i % 3 == 2 ? kNightTint888 >> 16 : 0;
  }
};
constexpr Tint24 kTint24;

// Bytes halve alike and every third byte, red, gains the tint, so the three
// vectors of a step take three phases of it.
template <class V>
inline void NightRow24(uint8_t* p, int32_t width) {
  const auto mask = V::Splat32(kByteHalfMask);
  const typename V::Vec tint[3] = {V::Load(kTint24.bytes), V::Load(kTint24.bytes + V::kBytes),
                                   V::Load(kTint24.bytes + 2 * V::kBytes)};
  NightRowByVectors<V, 3, 3, LayoutIndex(kFormat24)>(p, width, [&](int32_t k, auto v) {
    return V::Add(V::And(V::ShiftRight1(v), mask), tint[k]);
  });
}

// The top byte halves like a channel.
template <class V>
inline void NightRow32(uint8_t* p, int32_t width) {
  const auto mask = V::Splat32(kNightMask8888);
  const auto tint = V::Splat32(kNightTint888);
  NightRowByVectors<V, 4, 1, LayoutIndex(kFormat32)>(
      p, width, [&](int32_t, auto v) { return V::Add(V::And(V::ShiftRight1(v), mask), tint); });
}

}  // namespace
}  // namespace glimfx

#endif  // GLIMFX_BLEND_NIGHT_KERNELS_H_

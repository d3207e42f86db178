// Vector rows of the half-blend blit, written once over an instruction set's
// operations `V` (see sse2_ops.h) and compiled in each instruction set's own
// source. A row covers whole vector steps counted from its first pixel and
// hands the rest to the scalar row, so pairs keep their place and nothing past
// the row's last pixel is read or written.
//
// Included by sources built with different vector flags: everything here is
// in an anonymous namespace, so each source gets its own copy.
#ifndef GLIMFX_BLEND_BLEND_WALK_H_
#define GLIMFX_BLEND_BLEND_WALK_H_

#include <cstdint>
#include <cstring>

#include "blend_rows.h"
#include "lane_runs.h"
#include "pixel_format.h"
#include "sse2_ops.h"

namespace glimfx {
namespace {

// Halves every field of both operands and adds the halves.
template <class W>
inline typename W::Vec HalfSum(typename W::Vec a, typename W::Vec b, typename W::Vec mask) {
  return W::Add(W::And(W::ShiftRight1(a), mask), W::And(W::ShiftRight1(b), mask));
}

// 16-bit pairs as 4-byte lanes for lane_runs.h: a lane is a key lane when
// both pixels are key pixels; in a drawn lane a key pixel stands in for its
// own destination pixel.
template <uint32_t kPairMask, uint16_t kHalfMask>
struct PairLanes {
  template <class W>
  static typename W::Vec KeyLanes(typename W::Vec s) {
    return W::IsZero32(s);
  }
  template <class W>
  static typename W::Vec Blend(typename W::Vec d, typename W::Vec s) {
    return HalfSum<W>(d, W::Or(s, W::And(d, W::IsZero16(s))), W::Splat32(kPairMask));
  }
  static void BlendLane(uint8_t* d, const uint8_t* s) {
    BlendRow16_Scalar<kPairMask, kHalfMask>(d, s, 2);
  }
};

// 32-bit pixels as lanes for lane_runs.h. The top byte is no colour: it
// marks nothing and is masked away.
struct PixelLanes {
  template <class W>
  static typename W::Vec KeyLanes(typename W::Vec s) {
    return W::IsZero32(W::And(s, W::Splat32(0xFFFFFF)));
  }
  template <class W>
  static typename W::Vec Blend(typename W::Vec d, typename W::Vec s) {
    return HalfSum<W>(d, s, W::Splat32(kHalfMask888));
  }
  static void BlendLane(uint8_t* d, const uint8_t* s) { BlendRow32_Scalar(d, s, 1); }
};

// Every pair by lanes; a lone last pixel goes to the scalar row.
template <class V, uint32_t kPairMask, uint16_t kHalfMask>
inline void BlendRow16(uint8_t* d, const uint8_t* s, int32_t width) {
  const int32_t pairs = width >> 1;
  if constexpr (V::kMaskedLanes) {
    BlendMaskedLanes<V, PairLanes<kPairMask, kHalfMask>>(d, s, pairs);
    BlendRow16_Scalar<kPairMask, kHalfMask>(d + 4 * pairs, s + 4 * pairs, width & 1);
    return;
  }
  if (pairs < V::kBytes / 4) {
    BlendRow16_Scalar<kPairMask, kHalfMask>(d, s, width);
    return;
  }
  BlendLaneRuns<V, PairLanes<kPairMask, kHalfMask>>(d, s, pairs);
  BlendRow16_Scalar<kPairMask, kHalfMask>(d + 4 * pairs, s + 4 * pairs, width & 1);
}

template <class V>
inline void BlendRow555(uint8_t* d, const uint8_t* s, int32_t width) {
  BlendRow16<V, kPairMask555, kHalfMask555>(d, s, width);
}

template <class V>
inline void BlendRow565(uint8_t* d, const uint8_t* s, int32_t width) {
  BlendRow16<V, kPairMask565, kHalfMask565>(d, s, width);
}

template <class V>
inline void BlendRow32(uint8_t* d, const uint8_t* s, int32_t width) {
  if constexpr (V::kMaskedLanes) {
    BlendMaskedLanes<V, PixelLanes>(d, s, width);
    return;
  }
  if (width < V::kBytes / 4) {
    BlendRow32_Scalar(d, s, width);
    return;
  }
  BlendLaneRuns<V, PixelLanes>(d, s, width);
}

// The 24-bit half-blend of a block of sixteen pixels (48 bytes) holding key
// and drawn pixels. Masked moves work on 4-byte lanes, which 3-byte pixels do
// not fill, so the drawn runs are copied out whole, blended as vectors and
// copied back: key pixels' destination bytes are neither read nor written.
// `keys` has bit 3i set when pixel i of the sixteen is a key pixel.
inline void BlendMixed24(uint8_t* d, const uint8_t* s, uint64_t keys) {
  using B = Sse2Ops;
  uint32_t drawn = 0;
  for (int i = 0; i < 16; ++i) drawn |= static_cast<uint32_t>((keys >> (3 * i)) & 1) << i;
  drawn ^= 0xFFFF;
  alignas(16) uint8_t buf[48] = {};
  uint32_t runs = drawn;
  while (runs != 0) {
    const int first = __builtin_ctz(runs);
    const int end = first + __builtin_ctz(~(runs >> first));
    std::memcpy(buf + 3 * first, d + 3 * first, static_cast<size_t>(3 * (end - first)));
    runs &= ~((2u << (end - 1)) - 1);
  }
  const B::Vec mask = B::Splat32(kByteHalfMask);
  for (int k = 0; k < 48; k += B::kBytes) {
    B::Store(buf + k, HalfSum<B>(B::Load(buf + k), B::Load(s + k), mask));
  }
  runs = drawn;
  while (runs != 0) {
    const int first = __builtin_ctz(runs);
    const int end = first + __builtin_ctz(~(runs >> first));
    std::memcpy(d + 3 * first, buf + 3 * first, static_cast<size_t>(3 * (end - first)));
    runs &= ~((2u << (end - 1)) - 1);
  }
}

// Bits of `z` placed to start `at` bits up (down when `at` is negative).
inline uint64_t PlaceBits(uint64_t z, int32_t at) {
  return at >= 64 || at <= -64 ? 0 : at >= 0 ? z << at : z >> -at;
}

// A step is three of V's vectors: sixteen pixels for every 128 bits of its
// width, looked at as blocks of sixteen. The blend is the same for every
// byte, so pixel boundaries only matter for finding key pixels. A block of
// key pixels only is skipped, one holding key and drawn pixels is blended by
// runs, and a step without key pixels is blended as whole vectors.
template <class V>
inline void BlendRow24(uint8_t* d, const uint8_t* s, int32_t width) {
  using B = Sse2Ops;
  constexpr int32_t kBlocks = V::kBytes / 16;
  constexpr int32_t kShift = kBlocks == 1 ? 4 : 5;  // log2 of the step's pixels
  static_assert(kBlocks == 1 || kBlocks == 2, "a step is one or two blocks");
  constexpr uint64_t kPixelStarts = 0x249249249249ull;  // bit 3i for pixel i
  const auto mask = V::Splat32(kByteHalfMask);
  const int32_t steps = width >> kShift;
  for (int32_t i = 0; i < steps; ++i, d += 3 * V::kBytes, s += 3 * V::kBytes) {
    const auto s0 = V::Load(s);
    const auto s1 = V::Load(s + V::kBytes);
    const auto s2 = V::Load(s + 2 * V::kBytes);
    const uint64_t z0 = V::ZeroBytes(s0);
    const uint64_t z1 = V::ZeroBytes(s1);
    const uint64_t z2 = V::ZeroBytes(s2);
    uint64_t keys[kBlocks];
    uint64_t any_key = 0;
    for (int32_t b = 0; b < kBlocks; ++b) {
      // The zero bytes of block b, byte j of the block at bit j.
      const int32_t from = 48 * b;
      const uint64_t z = PlaceBits(z0, -from) | PlaceBits(z1, V::kBytes - from) |
                         PlaceBits(z2, 2 * V::kBytes - from);
      keys[b] = z & (z >> 1) & (z >> 2) & kPixelStarts;
      any_key |= keys[b];
    }
    if (any_key == 0) {
      const auto d0 = V::Load(d);
      const auto d1 = V::Load(d + V::kBytes);
      const auto d2 = V::Load(d + 2 * V::kBytes);
      V::Store(d, HalfSum<V>(d0, s0, mask));
      V::Store(d + V::kBytes, HalfSum<V>(d1, s1, mask));
      V::Store(d + 2 * V::kBytes, HalfSum<V>(d2, s2, mask));
      continue;
    }
    for (int32_t b = 0; b < kBlocks; ++b) {
      uint8_t* db = d + 48 * b;
      const uint8_t* sb = s + 48 * b;
      if (keys[b] == kPixelStarts) continue;
      if (keys[b] != 0) {
        BlendMixed24(db, sb, keys[b]);
        continue;
      }
      const B::Vec m = B::Splat32(kByteHalfMask);
      for (int32_t k = 0; k < 48; k += B::kBytes) {
        B::Store(db + k, HalfSum<B>(B::Load(db + k), B::Load(sb + k), m));
      }
    }
  }
  BlendRow24_Scalar(d, s, width & ((1 << kShift) - 1));
}

}  // namespace
}  // namespace glimfx

#endif  // GLIMFX_BLEND_BLEND_WALK_H_

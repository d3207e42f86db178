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

// Every byte of a 24-bit row blends alike (pixel boundaries only matter for
// finding key pixels), so a run of drawn pixels is blended in place as bytes
// [a, b) of the row: with whole vectors, the last placed to end exactly at b
// and computed before anything of the run is stored, as lane runs do; a run
// of three to five pixels with two 8-byte moves, the same way; one or two
// pixels alone. Nothing outside the run is read or written.
inline uint64_t HalfSum64(uint64_t a, uint64_t b) {
  constexpr uint64_t kMask = uint64_t{kByteHalfMask} << 32 | kByteHalfMask;
  return ((a >> 1) & kMask) + ((b >> 1) & kMask);
}

template <class W>
inline void BlendBytesByVectors(uint8_t* d, const uint8_t* s, int32_t a, int32_t b) {
  const auto mask = W::Splat32(kByteHalfMask);
  const int32_t at_last = b - W::kBytes;
  const auto last = HalfSum<W>(W::Load(d + at_last), W::Load(s + at_last), mask);
  for (int32_t i = a; i < at_last; i += W::kBytes) {
    W::Store(d + i, HalfSum<W>(W::Load(d + i), W::Load(s + i), mask));
  }
  W::Store(d + at_last, last);
}

template <class V>
inline void BlendBytes24(uint8_t* d, const uint8_t* s, int32_t a, int32_t b) {
  const int32_t n = b - a;
  if (V::kBytes > 16 && n >= V::kBytes) {
    BlendBytesByVectors<V>(d, s, a, b);
  } else if (n >= 16) {
    BlendBytesByVectors<Sse2Ops>(d, s, a, b);
  } else if (n >= 8) {
    const uint64_t first = HalfSum64(Load64(d + a), Load64(s + a));
    const uint64_t last = HalfSum64(Load64(d + b - 8), Load64(s + b - 8));
    Store64(d + a, first);
    Store64(d + b - 8, last);
  } else {
    BlendRow24_Scalar(d + a, s + a, 1);
    if (n == 6) BlendRow24_Scalar(d + a + 3, s + a + 3, 1);
  }
}

// Bits of `z` placed to start `at` bits up (down when `at` is negative).
inline uint64_t PlaceBits(uint64_t z, int32_t at) {
  return at >= 64 || at <= -64 ? 0 : at >= 0 ? z << at : z >> -at;
}

// A block is sixteen pixels, 48 bytes. From its zero bytes (byte j at bit
// j), its key pixels (pixel i at bit 3i), and from those the bytes of its
// drawn pixels (byte j at bit j).
constexpr uint64_t kBlockBytes24 = (uint64_t{1} << 48) - 1;
inline uint64_t KeyPixels24(uint64_t zero_bytes) {
  constexpr uint64_t kPixelStarts = 0x249249249249ull;  // bit 3i for pixel i
  return zero_bytes & (zero_bytes >> 1) & (zero_bytes >> 2) & kPixelStarts;
}
inline uint64_t DrawnBytes24(uint64_t keys) {
  return ~(keys | keys << 1 | keys << 2) & kBlockBytes24;
}

// Drawn runs of a row, walked block by block. A run that reaches the end of
// a block stays open: `open` is the row byte it starts at, or -1. It is
// blended once a key pixel or the caller ends it, so runs longer than a
// block are blended as one.
template <class V>
inline int32_t EndRun24(uint8_t* d, const uint8_t* s, int32_t open, int32_t end) {
  if (open >= 0) BlendBytes24<V>(d, s, open, end);
  return -1;
}

// The block at row byte `base`, whose first `bytes` bytes (at most 48) are
// pixels of the row, with those pixels' drawn bytes. Returns the open run.
template <class V>
inline int32_t BlendBlockRuns24(uint8_t* d, const uint8_t* s, int32_t open, int32_t base,
                                uint64_t drawn, int32_t bytes) {
  const uint64_t in_block = bytes == 48 ? kBlockBytes24 : (uint64_t{1} << bytes) - 1;
  drawn &= in_block;
  if (open >= 0) {
    const uint64_t ends = ~drawn & in_block;
    if (ends == 0) return open;
    const int32_t t = __builtin_ctzll(ends);
    open = EndRun24<V>(d, s, open, base + t);
    drawn &= ~uint64_t{0} << t;
  }
  while (drawn != 0) {
    const int32_t a = __builtin_ctzll(drawn);
    const uint64_t ends = ~drawn & in_block & (~uint64_t{0} << a);
    if (ends == 0) return base + a;
    const int32_t b = __builtin_ctzll(ends);
    BlendBytes24<V>(d, s, base + a, base + b);
    drawn &= ~uint64_t{0} << b;
  }
  return open;
}

// A step holding key pixels, kept out of the steps' loop so that loop keeps
// its values in registers. `k1` is unused for a step of one block.
template <int32_t kBlocks, class V>
__attribute__((noinline)) int32_t BlendMixedStep24(uint8_t* d, const uint8_t* s, int32_t open,
                                                   int32_t at, uint64_t k0, uint64_t k1) {
  open = BlendBlockRuns24<V>(d, s, open, at, DrawnBytes24(k0), 48);
  if (kBlocks == 2) open = BlendBlockRuns24<V>(d, s, open, at + 48, DrawnBytes24(k1), 48);
  return open;
}

// Sixteen pixels for every 128 bits of W's width, from row byte `at`,
// looked at as blocks of sixteen through three of W's vectors. A step
// without key pixels is blended as whole vectors; otherwise its drawn runs
// are blended in place. Returns the open run.
template <class W, class V>
inline int32_t BlendStep24(uint8_t* d, const uint8_t* s, int32_t open, int32_t at) {
  constexpr int32_t kBlocks = W::kBytes / 16;
  static_assert(kBlocks == 1 || kBlocks == 2, "a step is one or two blocks");
  const auto s0 = W::Load(s + at);
  const auto s1 = W::Load(s + at + W::kBytes);
  const auto s2 = W::Load(s + at + 2 * W::kBytes);
  const uint64_t z0 = W::ZeroBytes(s0);
  const uint64_t z1 = W::ZeroBytes(s1);
  const uint64_t z2 = W::ZeroBytes(s2);
  uint64_t keys[2] = {0, 0};
  for (int32_t b = 0; b < kBlocks; ++b) {
    // The zero bytes of block b, byte j of the block at bit j.
    const int32_t from = 48 * b;
    keys[b] = KeyPixels24(PlaceBits(z0, -from) | PlaceBits(z1, W::kBytes - from) |
                          PlaceBits(z2, 2 * W::kBytes - from));
  }
  if ((keys[0] | keys[1]) != 0)
    return BlendMixedStep24<kBlocks, V>(d, s, open, at, keys[0], keys[1]);
  open = EndRun24<V>(d, s, open, at);
  const auto mask = W::Splat32(kByteHalfMask);
  uint8_t* dv = d + at;
  const auto d0 = W::Load(dv);
  const auto d1 = W::Load(dv + W::kBytes);
  const auto d2 = W::Load(dv + 2 * W::kBytes);
  W::Store(dv, HalfSum<W>(d0, s0, mask));
  W::Store(dv + W::kBytes, HalfSum<W>(d1, s1, mask));
  W::Store(dv + 2 * W::kBytes, HalfSum<W>(d2, s2, mask));
  return open;
}

// Steps of V's width, one of sixteen pixels when that many are left, then
// the last pixels, fewer than sixteen: looked at through the row's last 48
// bytes when the row has that many, else pixel by pixel.
template <class V>
inline void BlendRow24(uint8_t* d, const uint8_t* s, int32_t width) {
  constexpr int32_t kStep = 3 * V::kBytes;  // bytes
  const int32_t row = 3 * width;
  int32_t open = -1;
  int32_t at = 0;  // bytes of the row looked at
  for (; row - at >= kStep; at += kStep) open = BlendStep24<V, V>(d, s, open, at);
  if (kStep > 48 && row - at >= 48) {
    open = BlendStep24<Sse2Ops, V>(d, s, open, at);
    at += 48;
  }
  const int32_t left = row - at;
  if (left != 0) {
    uint64_t drawn;
    if (row >= 48) {
      using B = Sse2Ops;
      const uint8_t* last = s + row - 48;
      const uint64_t zero = uint64_t{B::ZeroBytes(B::Load(last))} |
                            uint64_t{B::ZeroBytes(B::Load(last + 16))} << 16 |
                            uint64_t{B::ZeroBytes(B::Load(last + 32))} << 32;
      drawn = DrawnBytes24(KeyPixels24(zero)) >> (48 - left);
    } else {
      drawn = 0;
      for (int32_t i = 0; i < left; i += 3) {
        drawn |= uint64_t{Load24(s + at + i) != 0 ? 7u : 0u} << i;
      }
    }
    open = BlendBlockRuns24<V>(d, s, open, at, drawn, left);
  }
  EndRun24<V>(d, s, open, row);
}

}  // namespace
}  // namespace glimfx

#endif  // GLIMFX_BLEND_BLEND_WALK_H_

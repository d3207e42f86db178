// Vector rows of the half-blend blit, written once over an instruction set's
// operations `V` (see isa_ops.h) and compiled in each instruction set's own
// source. A row covers whole vector steps counted from its first pixel and
// hands the rest to the scalar row, so pairs keep their place and nothing past
// the row's last pixel is read or written.
//
// Included by sources built with different vector flags: everything here is
// in an anonymous namespace, so each source gets its own copy.
#ifndef GLIMFX_BLEND_HALF_BLEND_KERNELS_H_
#define GLIMFX_BLEND_HALF_BLEND_KERNELS_H_

#include <cstdint>
#include <type_traits>

#include "half_blend_lanes.h"
#include "half_blend_masked24.h"
#include "half_blend_rows.h"
#include "ops_sse2.h"
#include "pixel_format.h"

namespace glimfx {
namespace {

// 16-bit pairs as 4-byte lanes for half_blend_lanes.h: a lane is a key lane when
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
    return HalfSum<W>(d, W::Or(s, W::And(d, W::IsZero16(s))), kPairMask);
  }
  // Without a key pixel, every lane is drawn and no key pixel stands in.
  template <class W>
  static bool Plain(typename W::Vec s) {
    return W::MoveMask8(W::IsZero16(s)) == 0;
  }
  template <class W>
  static typename W::Vec PlainBlend(typename W::Vec d, typename W::Vec s) {
    return HalfSum<W>(d, s, kPairMask);
  }
  static void BlendLane(uint8_t* d, const uint8_t* s) {
    BlendRow16_Scalar<kPairMask, kHalfMask>(d, s, 2);
  }
  static int32_t LaneCount(int32_t width) { return width >> 1; }
  static bool WholeLanes(int32_t width) { return (width & 1) == 0; }
  // A lone last pixel goes to the scalar row.
  static void BlendRowRest(uint8_t* d, const uint8_t* s, int32_t width) {
    const int32_t at = 4 * (width >> 1);
    BlendRow16_Scalar<kPairMask, kHalfMask>(d + at, s + at, width & 1);
  }
  // A plain vector skips the masks and the pair rule. Where masked moves take
  // several operations (AVX2) that pays on rows of two vectors and more;
  // where they take one (AVX-512), only on rows of four and more, since on
  // shorter rows the test per vector costs what it saves (docs/speed.md).
  template <class V>
  static bool PlainUntilKeyed(int32_t lanes) {
    return !V::kOneOpMaskedLanes || lanes >= 4 * (V::kBytes / 4);  // four vectors
  }
};

// 32-bit pixels as lanes for half_blend_lanes.h. The top byte is no colour: it
// marks nothing and is masked away.
struct PixelLanes {
  template <class W>
  static typename W::Vec KeyLanes(typename W::Vec s) {
    return W::IsZero32(W::And(s, W::Splat32(0xFFFFFF)));
  }
  template <class W>
  static typename W::Vec Blend(typename W::Vec d, typename W::Vec s) {
    return HalfSum<W>(d, s, kHalfMask888);
  }
  template <class W>
  static bool Plain(typename W::Vec s) {
    return W::MoveMask32(KeyLanes<W>(s)) == 0;
  }
  template <class W>
  static typename W::Vec PlainBlend(typename W::Vec d, typename W::Vec s) {
    return Blend<W>(d, s);
  }
  static void BlendLane(uint8_t* d, const uint8_t* s) { BlendRow32_Scalar(d, s, 1); }
  static int32_t LaneCount(int32_t width) { return width; }
  static bool WholeLanes(int32_t) { return true; }
  static void BlendRowRest(uint8_t*, const uint8_t*, int32_t) {}
  // A pixel blend is a few instructions, and masked moves cost more than it
  // on opaque sources: plain moves until a row holds a key pixel.
  template <class V>
  static bool PlainUntilKeyed(int32_t) {
    return true;
  }
};

// Every pair by lanes; a lone last pixel goes to the scalar row.
template <class V, uint32_t kPairMask, uint16_t kHalfMask>
inline void BlendRow16(uint8_t* d, const uint8_t* s, int32_t width) {
  const int32_t pairs = width >> 1;
  if (pairs < V::kBytes / 4) {
    BlendRow16_Scalar<kPairMask, kHalfMask>(d, s, width);
    return;
  }
  BlendLaneRuns<V, PairLanes<kPairMask, kHalfMask>>(d, s, pairs);
  PairLanes<kPairMask, kHalfMask>::BlendRowRest(d, s, width);
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
  if (width < V::kBytes / 4) {
    BlendRow32_Scalar(d, s, width);
    return;
  }
  BlendLaneRuns<V, PixelLanes>(d, s, width);
}

// A rectangle of a lane layout: by masked lanes where V has them, else by
// rows that walk drawn runs.
template <class V, class Lanes, void (*kRow)(uint8_t*, const uint8_t*, int32_t)>
inline void BlendLaneRect(uint8_t* d, const uint8_t* s, int32_t width, int32_t height,
                          int32_t s_pitch, int32_t d_pitch) {
  if constexpr (V::kMaskedLanes) {
    BlendMaskedRect<V, Lanes>(d, s, width, height, s_pitch, d_pitch);
  } else {
    WalkRect<kRow>(d, s, width, height, s_pitch, d_pitch);
  }
}

template <class V>
inline void BlendRect555(uint8_t* d, const uint8_t* s, int32_t width, int32_t height,
                         int32_t s_pitch, int32_t d_pitch) {
  BlendLaneRect<V, PairLanes<kPairMask555, kHalfMask555>, BlendRow555<V>>(d, s, width, height,
                                                                          s_pitch, d_pitch);
}

template <class V>
inline void BlendRect565(uint8_t* d, const uint8_t* s, int32_t width, int32_t height,
                         int32_t s_pitch, int32_t d_pitch) {
  BlendLaneRect<V, PairLanes<kPairMask565, kHalfMask565>, BlendRow565<V>>(d, s, width, height,
                                                                          s_pitch, d_pitch);
}

template <class V>
inline void BlendRect32(uint8_t* d, const uint8_t* s, int32_t width, int32_t height,
                        int32_t s_pitch, int32_t d_pitch) {
  BlendLaneRect<V, PixelLanes, BlendRow32<V>>(d, s, width, height, s_pitch, d_pitch);
}

// Every byte of a 24-bit row blends alike (pixel boundaries only matter for
// finding key pixels), so a run of drawn pixels is blended in place as bytes
// [a, b) of the row: with whole vectors (BlendSpanByVectors, as lane runs
// are); a run of three to five pixels with two 8-byte moves, the same way;
// one or two pixels alone. Nothing outside the run is read or written.
template <class W>
inline void BlendBytesByVectors(uint8_t* d, const uint8_t* s, int32_t a, int32_t b) {
  BlendSpanByVectors<W>(d, s, a, b, [](typename W::Vec dv, typename W::Vec sv) {
    return HalfSum<W>(dv, sv, kByteHalfMask);
  });
}

template <class V>
inline void BlendBytes24(uint8_t* d, const uint8_t* s, int32_t a, int32_t b) {
  const int32_t n = b - a;
  if (V::kBytes > 16 && n >= V::kBytes) {
    BlendBytesByVectors<V>(d, s, a, b);
  } else if (n >= 16) {
    BlendBytesByVectors<Sse2Ops>(d, s, a, b);
  } else if (n >= 8) {
    BlendBytesByVectors<Sse2Ops64>(d, s, a, b);
  } else {
    BlendRow24_Scalar(d + a, s + a, 1);
    if (n == 6) BlendRow24_Scalar(d + a + 3, s + a + 3, 1);
  }
}

// Key pixels are found in blocks whose bytes fit one native word, so 32-bit
// builds do no 64-bit mask arithmetic: sixteen pixels (48 bytes) in 64-bit
// builds, eight (24 bytes) in 32-bit ones. Bit j of a block mask is byte j.
using BlockMask = std::conditional<sizeof(void*) >= 8, uint64_t, uint32_t>::type;
constexpr int32_t kBlockBytes24 = sizeof(BlockMask) == 8 ? 48 : 24;
constexpr BlockMask kBlockAll24 = (BlockMask{1} << kBlockBytes24) - 1;

inline int32_t LowestBit(BlockMask m) {
  return sizeof(BlockMask) == 8 ? __builtin_ctzll(m) : __builtin_ctz(static_cast<uint32_t>(m));
}

// Bits of `z` placed to start `at` bits up (down when `at` is negative).
inline BlockMask PlaceBits(uint32_t z, int32_t at) {
  constexpr int32_t kBits = 8 * sizeof(BlockMask);
  return at >= kBits || at <= -32 ? 0 : at >= 0 ? BlockMask{z} << at : BlockMask{z >> -at};
}

// From a block's zero bytes, its key pixels (pixel i at bit 3i), and from
// those the bytes of its drawn pixels.
inline BlockMask KeyPixels24(BlockMask zero_bytes) {
  constexpr BlockMask kPixelStarts = static_cast<BlockMask>(0x249249249249ull) & kBlockAll24;
  return zero_bytes & (zero_bytes >> 1) & (zero_bytes >> 2) & kPixelStarts;
}
inline BlockMask DrawnBytes24(BlockMask keys) {
  return ~(keys | keys << 1 | keys << 2) & kBlockAll24;
}

// The zero bytes of the block `from` bytes into three consecutive vectors of
// `width` bytes whose zero bytes are z0, z1, z2; bits past the block are left
// for KeyPixels24 to drop.
inline BlockMask BlockZeroBytes(uint32_t z0, uint32_t z1, uint32_t z2, int32_t width,
                                int32_t from) {
  return PlaceBits(z0, -from) | PlaceBits(z1, width - from) | PlaceBits(z2, 2 * width - from);
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

// The block at row byte `base`, whose first `bytes` bytes are pixels of the
// row, with those pixels' drawn bytes. Returns the open run.
template <class V>
inline int32_t BlendBlockRuns24(uint8_t* d, const uint8_t* s, int32_t open, int32_t base,
                                BlockMask drawn, int32_t bytes) {
  const BlockMask in_block = bytes == kBlockBytes24 ? kBlockAll24 : (BlockMask{1} << bytes) - 1;
  drawn &= in_block;
  if (open >= 0) {
    const BlockMask ends = ~drawn & in_block;
    if (ends == 0) return open;
    const int32_t t = LowestBit(ends);
    open = EndRun24<V>(d, s, open, base + t);
    drawn &= ~BlockMask{0} << t;
  }
  while (drawn != 0) {
    const int32_t a = LowestBit(drawn);
    const BlockMask ends = ~drawn & in_block & (~BlockMask{0} << a);
    if (ends == 0) return base + a;
    const int32_t b = LowestBit(ends);
    BlendBytes24<V>(d, s, base + a, base + b);
    drawn &= ~BlockMask{0} << b;
  }
  return open;
}

// The key pixels of a step's blocks.
template <int32_t kBlocks>
struct StepKeys24 {
  BlockMask block[kBlocks];
};

// Sixteen pixels for every 128 bits of W's width, from row byte `at`, looked
// at through three of W's vectors: their key pixels, and whether there are
// any.
template <class W>
inline bool FindKeys24(const uint8_t* s, int32_t at,
                       StepKeys24<3 * W::kBytes / kBlockBytes24>& keys) {
  constexpr int32_t kBlocks = 3 * W::kBytes / kBlockBytes24;
  const auto v0 = W::Load(s + at), v1 = W::Load(s + at + W::kBytes),
             v2 = W::Load(s + at + 2 * W::kBytes);
  if (!MayHoldKey24<W>(v0, v1, v2)) return false;
  const uint32_t z0 = W::ZeroBytes(v0), z1 = W::ZeroBytes(v1), z2 = W::ZeroBytes(v2);
  BlockMask any_key = 0;
  for (int32_t b = 0; b < kBlocks; ++b) {
    keys.block[b] = KeyPixels24(BlockZeroBytes(z0, z1, z2, W::kBytes, kBlockBytes24 * b));
    any_key |= keys.block[b];
  }
  return any_key != 0;
}

// A step without key pixels, one vector at a time, the source read again:
// with eight vector registers (32-bit builds) keeping the step's vectors
// live would spill.
template <class W>
inline void BlendWholeStep24(uint8_t* d, const uint8_t* s, int32_t at) {
  for (int32_t k = 0; k < 3 * W::kBytes; k += W::kBytes) {
    W::Store(d + at + k, HalfSum<W>(W::Load(d + at + k), W::Load(s + at + k), kByteHalfMask));
  }
}

// A step of W's width from row byte `at`: without key pixels, blended as
// whole vectors; otherwise its drawn runs are blended in place. Returns the
// open run.
template <class V, int32_t kBlocks>
inline int32_t BlendKeyedStep24(uint8_t* d, const uint8_t* s, int32_t open, int32_t at,
                                const StepKeys24<kBlocks>& keys) {
  // Kept a loop: unrolled, the blocks' run walks spill to the stack.
#pragma GCC unroll 1
  for (int32_t b = 0; b < kBlocks; ++b) {
    open = BlendBlockRuns24<V>(d, s, open, at + kBlockBytes24 * b, DrawnBytes24(keys.block[b]),
                               kBlockBytes24);
  }
  return open;
}

template <class W, class V>
inline int32_t BlendStep24(uint8_t* d, const uint8_t* s, int32_t open, int32_t at) {
  StepKeys24<3 * W::kBytes / kBlockBytes24> keys;
  if (FindKeys24<W>(s, at, keys)) return BlendKeyedStep24<V>(d, s, open, at, keys);
  open = EndRun24<V>(d, s, open, at);
  BlendWholeStep24<W>(d, s, at);
  return open;
}

// The row's whole steps of V's width from the first one holding key pixels,
// at `at`; returns the open run. Out of line, so the loop over key-free
// steps before it keeps its values in registers; called once per row rather
// than once per step, because a call costs more under the Windows calling
// conventions (more registers to save, arguments through memory).
template <class V>
__attribute__((noinline)) int32_t BlendKeyedSteps24(
    uint8_t* d, const uint8_t* s, int32_t at, int32_t row,
    const StepKeys24<3 * V::kBytes / kBlockBytes24>& first) {
  int32_t open = BlendKeyedStep24<V>(d, s, -1, at, first);
  for (at += 3 * V::kBytes; row - at >= 3 * V::kBytes; at += 3 * V::kBytes) {
    open = BlendStep24<V, V>(d, s, open, at);
  }
  return open;
}

// Steps of V's width, one of sixteen pixels when that many are left, then
// the last pixels, fewer than sixteen: looked at through the row's last 48
// bytes when the row has that many, else pixel by pixel.
template <class V>
inline void BlendRunRow24(uint8_t* d, const uint8_t* s, int32_t width) {
  using B = Sse2Ops;
  constexpr int32_t kStep = 3 * V::kBytes;  // bytes
  const int32_t row = 3 * width;
  int32_t open = -1;
  int32_t at = 0;  // bytes of the row looked at
  for (; row - at >= kStep; at += kStep) {
    StepKeys24<3 * V::kBytes / kBlockBytes24> keys;
    if (FindKeys24<V>(s, at, keys)) {
      open = BlendKeyedSteps24<V>(d, s, at, row, keys);
      at = row - (row - at) % kStep;
      break;
    }
    BlendWholeStep24<V>(d, s, at);
  }
  if (kStep > 48 && row - at >= 48) {
    open = BlendStep24<B, V>(d, s, open, at);
    at += 48;
  }
  if (at < row && row >= 48) {
    const uint8_t* last = s + row - 48;
    const uint32_t z0 = B::ZeroBytes(B::Load(last));
    const uint32_t z1 = B::ZeroBytes(B::Load(last + 16));
    const uint32_t z2 = B::ZeroBytes(B::Load(last + 32));
    for (; at < row; at += kBlockBytes24) {
      const int32_t bytes = row - at < kBlockBytes24 ? row - at : kBlockBytes24;
      const BlockMask zero = BlockZeroBytes(z0, z1, z2, 16, at - (row - 48));
      open = BlendBlockRuns24<V>(d, s, open, at, DrawnBytes24(KeyPixels24(zero)), bytes);
    }
  }
  for (; at < row; at += kBlockBytes24) {
    const int32_t bytes = row - at < kBlockBytes24 ? row - at : kBlockBytes24;
    BlockMask drawn = 0;
    for (int32_t i = 0; i < bytes; i += 3) {
      if (Load24(s + at + i) != 0) drawn |= BlockMask{7} << i;
    }
    open = BlendBlockRuns24<V>(d, s, open, at, drawn, bytes);
  }
  EndRun24<V>(d, s, open, row);
}

// A 24-bit rectangle: through byte masks where V has them (half_blend_masked24.h),
// else by rows that walk drawn runs.
template <class V>
inline void BlendRect24(uint8_t* d, const uint8_t* s, int32_t width, int32_t height,
                        int32_t s_pitch, int32_t d_pitch) {
  if constexpr (V::kMaskedBytes) {
    // Rows of a vector or less walk runs: a masked store reaching past the
    // row would hold up the next row's loads.
    if (3 * width > 32) {
      BlendMaskedRect24<V>(d, s, width, height, s_pitch, d_pitch);
      return;
    }
  }
  WalkRect<BlendRunRow24<V>>(d, s, width, height, s_pitch, d_pitch);
}

}  // namespace
}  // namespace glimfx

#endif  // GLIMFX_BLEND_HALF_BLEND_KERNELS_H_

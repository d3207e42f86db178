// The run kernel, where the instruction set has no masked moves for the unit
// (every layout on SSE2, 24-bit pixels on AVX2): a row is looked at in steps
// of three vectors, and the runs of drawn units are found from bit masks of
// their bytes. A run stays open across steps without key units and is
// blended in place when it ends, with whole vectors, its last one placed to
// end exactly at the run's end. Nothing outside a run is read or written.
#ifndef GLIMFX_BLEND_HALF_BLEND_RUNS_H_
#define GLIMFX_BLEND_HALF_BLEND_RUNS_H_

#include <cstdint>
#include <type_traits>

#include "half_blend_units.h"
#include "ops_sse2.h"
#include "row_loops.h"

namespace glimfx {
namespace {

// Runs are found in blocks of bytes that fit one native word, so 32-bit
// builds do no 64-bit mask arithmetic, and that hold whole units of every
// layout: 48 bytes in 64-bit builds, 24 in 32-bit ones. Bit j is byte j.
using BlockMask = std::conditional<sizeof(void*) >= 8, uint64_t, uint32_t>::type;
constexpr int32_t kBlockBytes = sizeof(BlockMask) == 8 ? 48 : 24;
constexpr BlockMask kBlockAll = (BlockMask{1} << kBlockBytes) - 1;

inline int32_t LowestBit(BlockMask m) {
  return sizeof(BlockMask) == 8 ? __builtin_ctzll(m) : __builtin_ctz(static_cast<uint32_t>(m));
}

// The drawn bytes of the block `from` bytes into three vectors of `width`
// bytes, from their key bytes z (24-bit: zero bytes, of which a key pixel
// has three from a pixel start).
template <class U>
inline BlockMask DrawnBytes(const uint32_t (&z)[3], int32_t width, int32_t from) {
  BlockMask marks = 0;
  for (int32_t k = 0; k < 3; ++k) {
    const int32_t at = k * width - from;  // where vector k's bits go
    if (at < 8 * int32_t{sizeof(BlockMask)} && at > -32) {
      marks |= at >= 0 ? BlockMask{z[k]} << at : BlockMask{z[k] >> -at};
    }
  }
  if constexpr (U::kBytes == 3) {
    constexpr BlockMask kPixelStarts = static_cast<BlockMask>(0x249249249249ull) & kBlockAll;
    const BlockMask keys = marks & marks >> 1 & marks >> 2 & kPixelStarts;
    marks = keys | keys << 1 | keys << 2;
  }
  return ~marks & kBlockAll;
}

// Bytes [a, b) by vectors of W, the last one ending at b. It overlaps the one
// before it, so its result is computed before anything is stored.
template <class W, class U>
inline void BlendSpan(uint8_t* d, const uint8_t* s, int32_t a, int32_t b) {
  const int32_t last_at = b - W::kBytes;
  const auto last = U::template Blend<W>(W::Load(d + last_at), W::Load(s + last_at));
  for (int32_t i = a; i < last_at; i += W::kBytes) {
    W::Store(d + i, U::template Blend<W>(W::Load(d + i), W::Load(s + i)));
  }
  W::Store(d + last_at, last);
}

// A drawn run, bytes [a, b) of the row, by the widest vectors it fills, else
// unit by unit. Returns -1: no run is open any more.
template <class V, class U>
inline int32_t BlendRun(uint8_t* d, const uint8_t* s, int32_t a, int32_t b) {
  if (b - a >= V::kBytes) {
    BlendSpan<V, U>(d, s, a, b);
  } else if (b - a >= 16) {
    BlendSpan<Sse2Ops, U>(d, s, a, b);
  } else if (b - a >= 8) {
    BlendSpan<Sse2Ops64, U>(d, s, a, b);
  } else {
    for (int32_t i = a; i < b; i += U::kBytes) U::BlendUnit(d + i, s + i);
  }
  return -1;
}

// The runs of the block at row byte `base`, whose first `bytes` bytes lie in
// the row. `open` is the first byte of a run still open, or -1; a run that
// reaches the block's end stays open. Returns the open run.
template <class V, class U>
inline int32_t BlendBlockRuns(uint8_t* d, const uint8_t* s, int32_t open, int32_t base,
                              BlockMask drawn, int32_t bytes) {
  const BlockMask in_block = bytes == kBlockBytes ? kBlockAll : (BlockMask{1} << bytes) - 1;
  drawn &= in_block;
  for (int32_t at = 0;;) {
    if (open < 0) {
      if (drawn == 0) return -1;
      at = LowestBit(drawn);
      open = base + at;
    }
    const BlockMask ends = ~drawn & in_block & (~BlockMask{0} << at);
    if (ends == 0) return open;
    at = LowestBit(ends);
    open = BlendRun<V, U>(d, s, open, base + at);
    drawn &= ~BlockMask{0} << at;
  }
}

// A step of three vectors of W from row byte `at`. Returns the open run.
template <class W, class V, class U>
inline int32_t BlendStep(uint8_t* d, const uint8_t* s, int32_t open, int32_t at) {
  const auto v0 = W::Load(s + at), v1 = W::Load(s + at + W::kBytes),
             v2 = W::Load(s + at + 2 * W::kBytes);
  const uint32_t z[3] = {U::template KeyBytes<W>(v0), U::template KeyBytes<W>(v1),
                         U::template KeyBytes<W>(v2)};
  const bool plain = U::kBytes == 3 ? !MayHoldKey24<W>(v0, v1, v2) : (z[0] | z[1] | z[2]) == 0;
  if (plain) return open < 0 ? at : open;
    // Kept a loop: unrolled, the blocks' run walks spill to the stack.
#pragma GCC unroll 1
  for (int32_t b = 0; b < 3 * W::kBytes; b += kBlockBytes) {
    open = BlendBlockRuns<V, U>(d, s, open, at + b, DrawnBytes<U>(z, W::kBytes, b), kBlockBytes);
  }
  return open;
}

// Steps of V's width, then of SSE2's, then the last bytes, fewer than 48:
// looked at through the row's last 48 bytes where the row has that many,
// else unit by unit.
template <class V, class U>
inline void BlendRunRow(uint8_t* d, const uint8_t* s, int32_t width) {
  const int32_t row = U::kBytes * U::Units(width);
  int32_t open = -1, at = 0;
  for (; row - at >= 3 * V::kBytes; at += 3 * V::kBytes) open = BlendStep<V, V, U>(d, s, open, at);
  if (V::kBytes > 16 && row - at >= 48) {
    open = BlendStep<Sse2Ops, V, U>(d, s, open, at);
    at += 48;
  }
  uint32_t z[3] = {};
  for (int32_t k = 0; k < 3 && at < row && row >= 48; ++k) {
    z[k] = U::template KeyBytes<Sse2Ops>(Sse2Ops::Load(s + row - 48 + 16 * k));
  }
  for (; at < row; at += kBlockBytes) {
    const int32_t bytes = row - at < kBlockBytes ? row - at : kBlockBytes;
    BlockMask drawn = 0;
    if (row >= 48) {
      drawn = DrawnBytes<U>(z, 16, at - (row - 48));
    } else {
      for (int32_t i = 0; i < bytes; i += U::kBytes) {
        if (!U::IsKey(s + at + i)) drawn |= BlockMask{(1u << U::kBytes) - 1} << i;
      }
    }
    open = BlendBlockRuns<V, U>(d, s, open, at, drawn, bytes);
  }
  if (open >= 0) BlendRun<V, U>(d, s, open, row);
}

template <class V, class U>
__attribute__((noinline)) void BlendRunRect(uint8_t* d, const uint8_t* s, int32_t width,
                                            int32_t height, int32_t s_pitch, int32_t d_pitch) {
  for (int32_t r = 0; r < height; ++r) {
    BlendRunRow<V, U>(RowAt(d, r, d_pitch), RowAt(s, r, s_pitch), width);
    U::BlendRest(RowAt(d, r, d_pitch), RowAt(s, r, s_pitch), width);
  }
}

}  // namespace
}  // namespace glimfx

#endif  // GLIMFX_BLEND_HALF_BLEND_RUNS_H_

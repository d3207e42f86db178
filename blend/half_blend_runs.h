// The run kernel, where the instruction set has no masked moves for the unit
// (every layout on SSE2, 24-bit pixels on AVX2). A row is looked at in steps
// of vectors: steps without key units are blended whole; from the first with
// any, the runs of drawn units are found from bit masks of their bytes and
// each is blended in place when it ends, by whole vectors, its last one
// placed to end exactly at the run's end. Nothing outside a run is read or
// written.
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
// builds do no 64-bit mask arithmetic, and that hold whole units: 48 bytes
// of 24-bit pixels in 64-bit builds, 24 in 32-bit ones, 64 and 32 bytes of
// 4-byte units. Bit j is byte j. A step is three vectors of 24-bit pixels,
// so that it holds whole pixels, and four of 4-byte units, a block's worth.
using BlockMask = std::conditional<sizeof(void*) >= 8, uint64_t, uint32_t>::type;
constexpr int32_t kMaskBits = 8 * sizeof(BlockMask);
template <class U>
constexpr int32_t kBlockBytes = U::kBytes == 3 ? kMaskBits / 4 * 3 : kMaskBits;
template <class U>
constexpr BlockMask kBlockAll = ~BlockMask{0} >> (kMaskBits - kBlockBytes<U>);
template <class U>
constexpr int32_t kStepVectors = U::kBytes == 3 ? 3 : 4;

inline int32_t LowestBit(BlockMask m) {
  return sizeof(BlockMask) == 8 ? __builtin_ctzll(m) : __builtin_ctz(static_cast<uint32_t>(m));
}

// The vectors of a step, their row bytes, and their key bytes (24-bit: zero
// bytes, of which a key pixel has three from a pixel start).
template <class W, class U>
struct View {
  static constexpr int32_t kN = kStepVectors<U>;
  typename W::Vec v[kN];
  int32_t at[kN];

  // Vectors at row bytes `at`, one after another or overlapping.
  View(const uint8_t* s, const int32_t (&where)[kN]) {
    for (int32_t k = 0; k < kN; ++k) v[k] = W::Load(s + (at[k] = where[k]));
  }
  // Whether they may hold a key unit that lies within them.
  bool MayHoldKey() const {
    if constexpr (U::kBytes == 3) {
      return MayHoldKey24<W>(v[0], v[1], v[2]);
    } else {
      auto keys = U::template KeyLanes<W>(v[0]);
      for (int32_t k = 1; k < kN; ++k) keys = W::Or(keys, U::template KeyLanes<W>(v[k]));
      return W::MoveMask8(keys) != 0;
    }
  }
  // The drawn bytes of the block at row byte `from`.
  BlockMask DrawnBytes(int32_t from) const {
    BlockMask marks = 0;
    for (int32_t k = 0; k < kN; ++k) {
      const int32_t shift = at[k] - from;  // where vector k's bits go
      if (shift < kMaskBits && shift > -32) {
        const uint32_t z = U::template KeyBytes<W>(v[k]);
        marks |= shift >= 0 ? BlockMask{z} << shift : BlockMask{z >> -shift};
      }
    }
    if constexpr (U::kBytes == 3) {
      constexpr BlockMask kStarts = static_cast<BlockMask>(0x249249249249ull) & kBlockAll<U>;
      const BlockMask keys = marks & marks >> 1 & marks >> 2 & kStarts;
      marks = keys | keys << 1 | keys << 2;
    }
    return ~marks & kBlockAll<U>;
  }
};

// A step's row bytes from `at`, and the last step's worth of a row of `row`
// bytes (of SSE2 vectors, overlapping where the row is shorter).
template <class W, class U>
inline void StepAt(int32_t at, int32_t (&where)[kStepVectors<U>]) {
  for (int32_t k = 0; k < kStepVectors<U>; ++k) where[k] = at + k * W::kBytes;
}
template <class U>
inline void LastStep(int32_t row, int32_t (&where)[kStepVectors<U>]) {
  for (int32_t k = 0; k < kStepVectors<U>; ++k) {
    const int32_t at = row - 16 * (kStepVectors<U> - k);
    where[k] = at < 0 ? 0 : at;
  }
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

// A view walked by runs from row byte `at` to `end`, block by block. `open`
// is the first byte of a run still open, or -1; a run that reaches the end
// stays open. Returns the open run.
template <class W, class V, class U>
inline int32_t BlendViewRuns(uint8_t* d, const uint8_t* s, int32_t open, int32_t at, int32_t end,
                             const View<W, U>& view) {
  if (!view.MayHoldKey()) return open < 0 ? at : open;
    // Kept a loop: unrolled, the blocks' run walks spill to the stack.
#pragma GCC unroll 1
  for (; at < end; at += kBlockBytes<U>) {
    const int32_t bytes = end - at < kBlockBytes<U> ? end - at : kBlockBytes<U>;
    const BlockMask in_block = (BlockMask{1} << (bytes - 1) << 1) - 1;
    BlockMask drawn = view.DrawnBytes(at) & in_block;
    for (int32_t i = 0;;) {  // block bytes done
      if (open < 0) {
        if (drawn == 0) break;
        i = LowestBit(drawn);
        open = at + i;
      }
      const BlockMask ends = ~drawn & in_block & (~BlockMask{0} << i);
      if (ends == 0) break;
      i = LowestBit(ends);
      open = BlendRun<V, U>(d, s, open, at + i);
      drawn &= ~BlockMask{0} << i;
    }
  }
  return open;
}

// A step of W from row byte `at`, blended if it holds no key unit. Returns
// whether it was.
template <class W, class U>
inline bool BlendPlainStep(uint8_t* d, const uint8_t* s, int32_t at) {
  int32_t where[kStepVectors<U>];
  StepAt<W, U>(at, where);
  const View<W, U> view(s, where);
  if (view.MayHoldKey()) return false;
  for (int32_t k = 0; k < kStepVectors<U>; ++k) {
    uint8_t* const dv = d + where[k];
    W::Store(dv, U::template Blend<W>(W::Load(dv), view.v[k]));
  }
  return true;
}

// The rest of a row from row byte `at`, by runs: steps of V's width, then of
// SSE2's, then the last bytes, fewer than a step, looked at through the last
// step's worth of the row. Out of line, so the loop over plain steps before
// it keeps its values in registers.
template <class V, class U>
__attribute__((noinline)) void BlendRowRuns(uint8_t* d, const uint8_t* s, int32_t at, int32_t row) {
  constexpr int32_t kStep = kStepVectors<U> * V::kBytes, kStep16 = kStepVectors<U> * 16;
  int32_t where[kStepVectors<U>];
  int32_t open = -1;
  for (; row - at >= kStep; at += kStep) {
    StepAt<V, U>(at, where);
    open = BlendViewRuns<V, V, U>(d, s, open, at, at + kStep, View<V, U>(s, where));
  }
  if (kStep > kStep16 && row - at >= kStep16) {
    StepAt<Sse2Ops, U>(at, where);
    open = BlendViewRuns<Sse2Ops, V, U>(d, s, open, at, at + kStep16, View<Sse2Ops, U>(s, where));
    at += kStep16;
  }
  if (at < row) {
    LastStep<U>(row, where);
    open = BlendViewRuns<Sse2Ops, V, U>(d, s, open, at, row, View<Sse2Ops, U>(s, where));
  }
  if (open >= 0) BlendRun<V, U>(d, s, open, row);
}

// Rows of 16 bytes and more (the chooser sends shorter ones to the scalar
// rows). Steps without key units are blended as they come, one
// well-predicted branch on opaque sources, and so are the last bytes, fewer
// than a step, when the last step's worth of the row (all of a shorter row)
// holds none; from the first step with any, the rest goes by runs, out of
// line.
template <class V, class U>
__attribute__((noinline)) void BlendRunRect(uint8_t* d, const uint8_t* s, int32_t width,
                                            int32_t height, int32_t s_pitch, int32_t d_pitch) {
  constexpr int32_t kStep = kStepVectors<U> * V::kBytes, kStep16 = kStepVectors<U> * 16;
  const int32_t row = U::kBytes * U::Units(width);
  for (int32_t r = 0; r < height; ++r) {
    uint8_t* const dr = RowAt(d, r, d_pitch);
    const uint8_t* const sr = RowAt(s, r, s_pitch);
    int32_t at = 0;
    while (row - at >= kStep && BlendPlainStep<V, U>(dr, sr, at)) at += kStep;
    while (kStep > kStep16 && row - at >= kStep16 && BlendPlainStep<Sse2Ops, U>(dr, sr, at)) {
      at += kStep16;
    }
    if (at < row && row - at < kStep16) {
      // Only the last bytes are left: the last step's worth of the row,
      // blended whole or walked by runs, with the vectors loaded once.
      int32_t where[kStepVectors<U>];
      LastStep<U>(row, where);
      const int32_t open =
          BlendViewRuns<Sse2Ops, V, U>(dr, sr, -1, at, row, View<Sse2Ops, U>(sr, where));
      if (open >= 0) BlendRun<V, U>(dr, sr, open, row);
    } else if (at < row) {
      BlendRowRuns<V, U>(dr, sr, at, row);
    }
    U::BlendRest(dr, sr, width);
  }
}

}  // namespace
}  // namespace glimfx

#endif  // GLIMFX_BLEND_HALF_BLEND_RUNS_H_

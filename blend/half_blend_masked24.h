// 24-bit half-blend rows through byte masks, for instruction sets with
// byte-masked moves (V::kMaskedBytes): every vector of a row is loaded,
// blended and stored through the mask of its drawn pixels' bytes, so a row
// walks no runs and takes no branch per run. A key pixel's destination bytes
// are neither read nor written, nor is anything past the row's last pixel.
//
// Included by sources built with different vector flags: everything here is
// in an anonymous namespace, so each source gets its own copy.
#ifndef GLIMFX_BLEND_HALF_BLEND_MASKED24_H_
#define GLIMFX_BLEND_HALF_BLEND_MASKED24_H_

#include <cstdint>

#include "isa_ops.h"
#include "pixel_format.h"
#include "row_loops.h"

namespace glimfx {
namespace {

// Rows go in steps of 32 pixels: 96 bytes, three 32-byte vectors, so no
// pixel crosses a step's end and each vector's pixels start at the same
// bytes in every step. Bit i of a mask is byte i of its vector.
constexpr int32_t kMaskedStep24 = 96;
constexpr uint32_t kPixelStarts24[3] = {0x49249249u, 0x92492492u, 0x24924924u};

// The bytes of a vector `at` bytes into a span of `n` bytes that lie in it.
inline uint32_t BytesIn(int32_t at, int32_t n) {
  return n - at >= 32 ? ~0u : n - at <= 0 ? 0u : (1u << (n - at)) - 1;
}

// The drawn bytes of a step's three source vectors: a key pixel starts at a
// pixel start whose three bytes are zero (the last two of a vector's may lie
// in the next one). Key starts are three bits apart, so times 7 sets each
// one's three bytes without a carry; a key pixel starting at byte 30 or 31
// spills into the next vector. Returns whether any pixel is a key pixel.
template <class V>
inline bool DrawnBytes24(typename V::Vec v0, typename V::Vec v1, typename V::Vec v2,
                         uint32_t (&drawn)[3]) {
  const uint32_t z[3] = {V::ZeroBytes(v0), V::ZeroBytes(v1), V::ZeroBytes(v2)};
  uint32_t spill = 0;
  uint32_t any = 0;
  for (int32_t k = 0; k < 3; ++k) {
    const uint32_t next = k < 2 ? z[k + 1] : 0;
    const uint32_t keys =
        z[k] & (z[k] >> 1 | next << 31) & (z[k] >> 2 | next << 30) & kPixelStarts24[k];
    drawn[k] = ~(keys * 7 | spill);
    spill = keys >> 30 | keys >> 31;
    any |= keys;
  }
  return any != 0;
}

template <class V>
inline void BlendDrawnBytes(uint8_t* d, typename V::Vec sv, uint32_t drawn) {
  V::MaskStore8(d, drawn, HalfSum<V>(V::MaskLoad8(d, drawn), sv, kByteHalfMask));
}

// A whole step: its drawn bytes are blended, and only those.
template <class V>
inline void BlendMaskedStep24(uint8_t* d, const uint8_t* s) {
  // Every masked step, whatever the rectangle's size: it pays on frames of
  // small sprites as well.
  PrefetchDestination(d);
  PrefetchDestination(d + 64);
  const auto s0 = InRegister(V::Load(s)), s1 = InRegister(V::Load(s + 32)),
             s2 = InRegister(V::Load(s + 64));
  uint32_t drawn[3];
  DrawnBytes24<V>(s0, s1, s2, drawn);
  BlendDrawnBytes<V>(d, s0, drawn[0]);
  BlendDrawnBytes<V>(d + 32, s1, drawn[1]);
  BlendDrawnBytes<V>(d + 64, s2, drawn[2]);
}

// What every row of a rectangle does past its whole steps: the rest, fewer
// than a step's bytes, through masked loads of the row's bytes, `in_row`,
// from the first of them. Bytes past the row load as zero, which reads as
// key pixels, and the masks leave them out all the same; vectors wholly past
// the row are not formed. A vector may so reach past the row, which holds up
// the next row's loads where rows lie back to back (see BlendShortRow24);
// one placed to end at the row's end would overlap the step before it and
// be held up in every row.
struct RowEnd24 {
  int32_t row;    // bytes
  int32_t steps;  // bytes in whole steps from the row's start
  uint32_t in_row[3];
};

inline RowEnd24 MakeRowEnd24(int32_t width) {
  RowEnd24 end;
  end.row = 3 * width;
  end.steps = end.row - end.row % kMaskedStep24;
  for (int32_t k = 0; k < 3; ++k) end.in_row[k] = BytesIn(end.steps + 32 * k, end.row);
  return end;
}

// A row's end (RowEnd24). Returns whether it holds a key pixel.
template <class V>
inline bool BlendRowEnd24(uint8_t* d, const uint8_t* s, const RowEnd24& e) {
  d += e.steps;
  s += e.steps;
  const auto none = V::Splat32(0);
  const auto s0 = V::MaskLoad8(s, e.in_row[0]);
  const auto s1 = e.in_row[1] != 0 ? V::MaskLoad8(s + 32, e.in_row[1]) : none;
  const auto s2 = e.in_row[2] != 0 ? V::MaskLoad8(s + 64, e.in_row[2]) : none;
  uint32_t drawn[3];
  const bool any_key = DrawnBytes24<V>(s0, s1, s2, drawn);
  BlendDrawnBytes<V>(d, s0, drawn[0] & e.in_row[0]);
  if (e.in_row[1] != 0) BlendDrawnBytes<V>(d + 32, s1, drawn[1] & e.in_row[1]);
  if (e.in_row[2] != 0) BlendDrawnBytes<V>(d + 64, s2, drawn[2] & e.in_row[2]);
  return any_key;
}

// A row's steps from row byte `at`, every one masked, then its end.
template <class V>
inline void BlendMaskedSteps24(uint8_t* d, const uint8_t* s, int32_t at, const RowEnd24& e) {
  for (; at < e.steps; at += kMaskedStep24) BlendMaskedStep24<V>(d + at, s + at);
  if (e.steps != e.row) BlendRowEnd24<V>(d, s, e);
}

// A row blended with plain moves until a step holds a key pixel, then masked
// from that step on. Returns whether the row holds a key pixel. The masked
// steps run as a loop of their own: keeping a step's vectors for them across
// the choice spilled them in 32-bit builds.
template <class V>
inline bool BlendChoosingRow24(uint8_t* d, const uint8_t* s, const RowEnd24& e) {
  for (int32_t at = 0; at < e.steps; at += kMaskedStep24) {
    const auto s0 = InRegister(V::Load(s + at)), s1 = InRegister(V::Load(s + at + 32)),
               s2 = InRegister(V::Load(s + at + 64));
    if (MayHoldKey24<V>(s0, s1, s2)) {
      uint32_t drawn[3];
      if (DrawnBytes24<V>(s0, s1, s2, drawn)) {
        BlendMaskedSteps24<V>(d, s, at, e);
        return true;
      }
    }
    V::Store(d + at, HalfSum<V>(V::Load(d + at), s0, kByteHalfMask));
    V::Store(d + at + 32, HalfSum<V>(V::Load(d + at + 32), s1, kByteHalfMask));
    V::Store(d + at + 64, HalfSum<V>(V::Load(d + at + 64), s2, kByteHalfMask));
  }
  return e.steps != e.row && BlendRowEnd24<V>(d, s, e);
}

// A row of 33 to 95 bytes: kWhole whole vectors (one or two), then one
// placed to end exactly at the row's end, over bytes already blended, which
// its mask leaves out. No vector reaches past the row: a load overlapping an
// earlier masked store waits until that store is written, even where their
// bytes differ, and small rectangles often lie back to back. Key pixels are
// found on vectors from the row's start, the last one through a masked load
// (its bytes past the row load as zero, which reads as key pixels, and are
// left out). kEveryRowMasked false: a row found free of key pixels by
// MayHoldKey24 is blended with plain moves. Returns whether the row holds a
// key pixel.
template <class V, int32_t kWhole, bool kEveryRowMasked>
inline bool BlendShortRow24(uint8_t* d, const uint8_t* s, int32_t row, uint32_t in_row) {
  const int32_t at = row - 32;
  const auto s0 = V::Load(s);
  const auto s1 = kWhole > 1 ? V::Load(s + 32) : s0;
  const auto sl = V::Load(s + at);
  // Every load before any store, since the last vector overlaps the others.
  // A key pixel lies whole in the row's first kWhole vectors or in its last
  // one (rows are a whole number of pixels), so MayHoldKey24 holds for them.
  if (!kEveryRowMasked && !MayHoldKey24<V>(s0, s1, sl)) {
    const auto r0 = HalfSum<V>(V::Load(d), s0, kByteHalfMask);
    const auto r1 = kWhole > 1 ? HalfSum<V>(V::Load(d + 32), s1, kByteHalfMask) : r0;
    const auto rl = HalfSum<V>(V::Load(d + at), sl, kByteHalfMask);
    V::Store(d, r0);
    if (kWhole > 1) V::Store(d + 32, r1);
    V::Store(d + at, rl);
    return false;
  }
  // The vector after the whole ones, past the row's end: a third vector
  // wholly past it would load as zero bytes only.
  const auto past = V::MaskLoad8(s + 32 * kWhole, in_row);
  uint32_t drawn[3];
  const bool any_key =
      DrawnBytes24<V>(s0, kWhole > 1 ? s1 : past, kWhole > 1 ? past : V::Splat32(0), drawn);
  const int32_t shift = at - 32 * (kWhole - 1);  // 1 to 32
  const uint64_t window = drawn[kWhole - 1] | uint64_t{drawn[kWhole]} << 32;
  const uint32_t last = static_cast<uint32_t>(window >> shift) & ~0u << (32 * kWhole - at);
  const auto r0 = HalfSum<V>(V::MaskLoad8(d, drawn[0]), s0, kByteHalfMask);
  const auto r1 = kWhole > 1 ? HalfSum<V>(V::MaskLoad8(d + 32, drawn[1]), s1, kByteHalfMask) : r0;
  const auto rl = HalfSum<V>(V::MaskLoad8(d + at, last), sl, kByteHalfMask);
  V::MaskStore8(d, drawn[0], r0);
  if (kWhole > 1) V::MaskStore8(d + 32, drawn[1], r1);
  V::MaskStore8(d + at, last, rl);
  return any_key;
}

template <class V, int32_t kWhole>
inline void BlendShortRect24(uint8_t* d, const uint8_t* s, int32_t width, int32_t height,
                             int32_t s_pitch, int32_t d_pitch) {
  const int32_t row = 3 * width;
  const uint32_t in_row = BytesIn(32 * kWhole, row);
  WalkRowsSwitching(
      d, s, width, height, s_pitch, d_pitch,
      [row, in_row](uint8_t* dr, const uint8_t* sr, int32_t) {
        return BlendShortRow24<V, kWhole, false>(dr, sr, row, in_row);
      },
      [row, in_row](uint8_t* dr, const uint8_t* sr, int32_t) {
        BlendShortRow24<V, kWhole, true>(dr, sr, row, in_row);
      });
}

// A rectangle of rows over 32 bytes. Rows choose per row (shorter than a
// step) or per step until one holds a key pixel, then every row or step is
// masked, so an opaque source keeps its plain moves and a sprite pays at most
// one row of mispredicted choices.
template <class V>
inline void BlendMaskedRect24(uint8_t* d, const uint8_t* s, int32_t width, int32_t height,
                              int32_t s_pitch, int32_t d_pitch) {
  static_assert(V::kBytes == 32, "one mask bit per byte of a vector");
  const int32_t row = 3 * width;
  if (row < kMaskedStep24) {
    if (row > 64) {
      BlendShortRect24<V, 2>(d, s, width, height, s_pitch, d_pitch);
    } else {
      BlendShortRect24<V, 1>(d, s, width, height, s_pitch, d_pitch);
    }
    return;
  }
  const RowEnd24 end = MakeRowEnd24(width);
  WalkRowsSwitching(
      d, s, width, height, s_pitch, d_pitch,
      [end](uint8_t* dr, const uint8_t* sr, int32_t) { return BlendChoosingRow24<V>(dr, sr, end); },
      [end](uint8_t* dr, const uint8_t* sr, int32_t) { BlendMaskedSteps24<V>(dr, sr, 0, end); });
}

}  // namespace
}  // namespace glimfx

#endif  // GLIMFX_BLEND_HALF_BLEND_MASKED24_H_

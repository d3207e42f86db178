// The masked kernel, for 4-byte units (16-bit pairs, 32-bit pixels) where the
// instruction set has masked moves of 4-byte lanes (AVX2, AVX-512): every
// vector loads and stores only its drawn units through a mask, with no
// branch. A sprite's vectors change at random among all key, all drawn and
// mixed, and a branch on that would mispredict at every change.
#ifndef GLIMFX_BLEND_HALF_BLEND_MASKED_H_
#define GLIMFX_BLEND_HALF_BLEND_MASKED_H_

#include <cstdint>

#include "half_blend_units.h"
#include "row_loops.h"

namespace glimfx {
namespace {

// Rectangles of this many bytes and more ask for the destination ahead: it
// pays past the caches and costs on rectangles that fit them.
constexpr int64_t kPrefetchRectBytes = 2 * 1024 * 1024;

// One vector of units. With `choose`, a vector without key pixels is loaded,
// blended and stored whole instead (cheaper, and always right on an opaque
// source). Returns whether it holds a key pixel or went through the mask.
template <class V, class U>
inline bool BlendVector(uint8_t* d, const uint8_t* s, bool choose, bool prefetch) {
  const auto sv = InRegister(V::Load(s));
  if (choose && U::template Plain<V>(sv)) {
    V::Store(d, U::template PlainBlend<V>(V::Load(d), sv));
    return false;
  }
  if (prefetch) PrefetchDestination(d);
  const auto drawn = V::DrawnLanes(U::template KeyLanes<V>(sv));
  V::MaskStore32(d, drawn, U::template Blend<V>(V::MaskLoad32(d, drawn), sv));
  return true;
}

// The row's end: its last whole vector, at unit i, and one that ends
// exactly at the row's end, over units the first did, which its mask
// leaves out. A load overlapping an earlier masked store waits until that
// store is written, so both are loaded before either is stored. Returns
// whether either holds a key pixel.
template <class V, class U>
inline bool BlendRowEnd(uint8_t* d, const uint8_t* s, int32_t i, int32_t units) {
  const int32_t at = units - V::kBytes / 4;
  const auto sv = V::Load(s + 4 * i), sv_end = V::Load(s + 4 * at);
  const auto drawn = V::DrawnLanes(U::template KeyLanes<V>(sv));
  const auto drawn_end = V::DrawnLanes(U::template KeyLanes<V>(sv_end), i + V::kBytes / 4 - at);
  const auto blended = U::template Blend<V>(V::MaskLoad32(d + 4 * i, drawn), sv);
  const auto blended_end = U::template Blend<V>(V::MaskLoad32(d + 4 * at, drawn_end), sv_end);
  V::MaskStore32(d + 4 * i, drawn, blended);
  V::MaskStore32(d + 4 * at, drawn_end, blended_end);
  return !U::template Plain<V>(sv) || !U::template Plain<V>(sv_end);
}

// The shape every row of a rectangle shares (BlendMaskedRect).
struct MaskedRows {
  int32_t width, units, whole, tail;
  bool prefetch;
};

// One row: its whole vectors, then, with kVectors < 0, its end. Returns
// whether it went through masks.
template <class V, class U, int32_t kVectors, bool kChoosing>
inline bool BlendMaskedRow(uint8_t* d, const uint8_t* s, const MaskedRows& rows) {
  constexpr int32_t k = V::kBytes / 4;
  const int32_t whole = kVectors > 0 ? kVectors * k : rows.whole;
  bool masked = false;
  for (int32_t i = 0; i < whole; i += k) {
    masked |= BlendVector<V, U>(d + 4 * i, s + 4 * i, kChoosing, rows.prefetch);
  }
  if (kVectors < 0) {
    if (rows.tail != 0) masked |= BlendRowEnd<V, U>(d, s, whole, rows.units);
    U::BlendRest(d, s, rows.width);
  }
  return masked;
}

// Rows choose plain vectors until one goes through masks, then none does,
// so an opaque source keeps its plain moves and a sprite pays at most one
// row of mispredictions; two loops, each laid out for its own case. Where a
// masked move is one operation, only rows of four vectors of 16-bit pairs
// and more choose, and rectangles past the caches: elsewhere the test costs
// more than it saves. kVectors: rows of exactly that many
// vectors, known at compile time; 0, rows of any number of whole vectors; -1, any rows of a vector
// and more, and rectangles past the caches. Apart, none pays for the others' tests.
template <class V, class U, int32_t kVectors>
__attribute__((noinline)) void BlendMaskedRect(uint8_t* d, const uint8_t* s, int32_t width,
                                               int32_t height, int32_t s_pitch, int32_t d_pitch) {
  constexpr int32_t k = V::kBytes / 4;
  MaskedRows rows{width, kVectors > 0 ? kVectors * k : U::Units(width), 0, 0, false};
  rows.tail = kVectors < 0 ? rows.units % k : 0;
  rows.whole = rows.units - rows.tail - (rows.tail == 0 ? 0 : k);
  rows.prefetch = kVectors < 0 && int64_t{4} * rows.units * height >= kPrefetchRectBytes;
  int32_t r = 0;
  if (!V::kMaskRegisters || (U::kPixels == 2 && rows.units >= 4 * k) || rows.prefetch) {
    for (bool choosing = true; choosing && r < height; ++r) {
      choosing =
          !BlendMaskedRow<V, U, kVectors, true>(RowAt(d, r, d_pitch), RowAt(s, r, s_pitch), rows);
    }
  }
  for (; r < height; ++r) {
    BlendMaskedRow<V, U, kVectors, false>(RowAt(d, r, d_pitch), RowAt(s, r, s_pitch), rows);
  }
}

}  // namespace
}  // namespace glimfx

#endif  // GLIMFX_BLEND_HALF_BLEND_MASKED_H_

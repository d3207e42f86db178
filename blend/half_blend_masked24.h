// The masked kernel for 24-bit pixels, where the instruction set has
// byte-masked moves that cannot fault (AVX-512): every vector is loaded,
// blended and stored through the mask of its drawn pixels' bytes, so a row
// walks no runs. Rows go in steps of 32 pixels: 96 bytes, three 32-byte
// vectors, so no pixel crosses a step's end and each vector's pixels start
// at the same bytes in every step. Bit i of a mask is byte i of its vector.
#ifndef GLIMFX_BLEND_HALF_BLEND_MASKED24_H_
#define GLIMFX_BLEND_HALF_BLEND_MASKED24_H_

#include <cstdint>

#include "isa_ops.h"
#include "pixel_format.h"
#include "row_loops.h"

namespace glimfx {
namespace {

constexpr int32_t kStep24 = 96;
constexpr uint32_t kPixelStarts24[3] = {0x49249249u, 0x92492492u, 0x24924924u};

// The bytes of a vector `at` bytes into a span of `n` bytes that lie in it.
inline uint32_t BytesIn(int32_t at, int32_t n) {
  return n - at >= 32 ? ~0u : n - at <= 0 ? 0u : (1u << (n - at)) - 1;
}

// The drawn bytes of a step's three vectors: a key pixel starts at a pixel
// start whose three bytes are zero (the last two of a vector's may lie in the
// next one). Key starts are three bits apart, so times 7 marks each one's
// three bytes without a carry. Returns whether any pixel is a key pixel.
template <class V>
inline bool StepDrawnBytes(typename V::Vec v0, typename V::Vec v1, typename V::Vec v2,
                           uint32_t (&drawn)[3]) {
  const uint32_t z[3] = {V::ZeroBytes(v0), V::ZeroBytes(v1), V::ZeroBytes(v2)};
  uint32_t spill = 0, any = 0;
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

// A masked step: its drawn bytes are blended, and only those. The row's last
// bytes, fewer than a step, load through the masks of the row's bytes in
// each vector, `in_row`: bytes past the row load as zero, which reads as key
// pixels, and are left out; vectors wholly past it are not formed. Such a
// step may reach past the row, which only holds up the next row's loads
// where rows lie back to back. Every whole step asks for the destination
// ahead, whatever the rectangle's size: it pays on frames of small sprites
// as well.
template <class V, bool kWholeStep>
inline void BlendMaskedStep24(uint8_t* d, const uint8_t* s, const uint32_t (&in_row)[3]) {
  if (kWholeStep) {
    PrefetchDestination(d);
    PrefetchDestination(d + 64);
  }
  const auto none = V::Splat32(0);
  const auto s0 = kWholeStep ? InRegister(V::Load(s)) : V::MaskLoad8(s, in_row[0]);
  const auto s1 = kWholeStep       ? InRegister(V::Load(s + 32))
                  : in_row[1] != 0 ? V::MaskLoad8(s + 32, in_row[1])
                                   : none;
  const auto s2 = kWholeStep       ? InRegister(V::Load(s + 64))
                  : in_row[2] != 0 ? V::MaskLoad8(s + 64, in_row[2])
                                   : none;
  uint32_t drawn[3];
  StepDrawnBytes<V>(s0, s1, s2, drawn);
  BlendDrawnBytes<V>(d, s0, kWholeStep ? drawn[0] : drawn[0] & in_row[0]);
  if (kWholeStep || in_row[1] != 0) {
    BlendDrawnBytes<V>(d + 32, s1, kWholeStep ? drawn[1] : drawn[1] & in_row[1]);
  }
  if (kWholeStep || in_row[2] != 0) {
    BlendDrawnBytes<V>(d + 64, s2, kWholeStep ? drawn[2] : drawn[2] & in_row[2]);
  }
}

// A row of a step and more: kChoosing, plain moves until a step holds a
// key pixel, masked steps from there on, then the row's end (`end`: the
// masks of its bytes past its whole steps, `steps` bytes). Returns whether a
// step went through the masks.
template <class V, bool kChoosing>
inline bool BlendSteps24(uint8_t* d, const uint8_t* s, int32_t steps, int32_t row,
                         const uint32_t (&end)[3]) {
  for (int32_t at = 0; kChoosing && at < steps; at += kStep24) {
    const auto s0 = InRegister(V::Load(s + at)), s1 = InRegister(V::Load(s + at + 32)),
               s2 = InRegister(V::Load(s + at + 64));
    uint32_t drawn[3];
    if (MayHoldKey24<V>(s0, s1, s2) && StepDrawnBytes<V>(s0, s1, s2, drawn)) {
      return BlendSteps24<V, false>(d + at, s + at, steps - at, row - at, end);
    }
    V::Store(d + at, HalfSum<V>(V::Load(d + at), s0, kByteHalfMask));
    V::Store(d + at + 32, HalfSum<V>(V::Load(d + at + 32), s1, kByteHalfMask));
    V::Store(d + at + 64, HalfSum<V>(V::Load(d + at + 64), s2, kByteHalfMask));
  }
  for (int32_t at = 0; !kChoosing && at < steps; at += kStep24) {
    BlendMaskedStep24<V, true>(d + at, s + at, end);
  }
  if (steps < row) BlendMaskedStep24<V, false>(d + steps, s + steps, end);
  return !kChoosing || steps < row;
}

// A row of 33 to 95 bytes: kWhole whole vectors (one or two), then one placed
// to end exactly at the row's end, over bytes already blended, which its mask
// leaves out: no vector reaches past the row, where the next row may begin.
// Key pixels are found on vectors from the row's start, the last through a
// masked load. Every load before any store, since the last vector overlaps
// the others. kChoosing: a row free of key pixels takes plain moves.
// Returns whether it went through the masks.
template <class V, int32_t kWhole, bool kChoosing>
inline bool BlendShortRow24(uint8_t* d, const uint8_t* s, int32_t row, uint32_t past_in_row) {
  const int32_t at = row - 32;
  const auto s0 = V::Load(s);
  const auto s1 = kWhole > 1 ? V::Load(s + 32) : s0;
  const auto sl = V::Load(s + at);
  // A key pixel lies whole in the first kWhole vectors or in the last one.
  if (kChoosing && !MayHoldKey24<V>(s0, s1, sl)) {
    const auto r0 = HalfSum<V>(V::Load(d), s0, kByteHalfMask);
    const auto r1 = kWhole > 1 ? HalfSum<V>(V::Load(d + 32), s1, kByteHalfMask) : r0;
    const auto rl = HalfSum<V>(V::Load(d + at), sl, kByteHalfMask);
    V::Store(d, r0);
    if (kWhole > 1) V::Store(d + 32, r1);
    V::Store(d + at, rl);
    return false;
  }
  // The vector after the whole ones reaches past the row: only its bytes in
  // the row are loaded.
  const auto past = V::MaskLoad8(s + 32 * kWhole, past_in_row);
  uint32_t drawn[3];
  StepDrawnBytes<V>(s0, kWhole > 1 ? s1 : past, kWhole > 1 ? past : V::Splat32(0), drawn);
  const int32_t shift = at - 32 * (kWhole - 1);  // 1 to 32
  const uint64_t window = drawn[kWhole - 1] | uint64_t{drawn[kWhole]} << 32;
  const uint32_t last = static_cast<uint32_t>(window >> shift) & ~0u << (32 * kWhole - at);
  const auto r0 = HalfSum<V>(V::MaskLoad8(d, drawn[0]), s0, kByteHalfMask);
  const auto r1 = kWhole > 1 ? HalfSum<V>(V::MaskLoad8(d + 32, drawn[1]), s1, kByteHalfMask) : r0;
  const auto rl = HalfSum<V>(V::MaskLoad8(d + at, last), sl, kByteHalfMask);
  V::MaskStore8(d, drawn[0], r0);
  if (kWhole > 1) V::MaskStore8(d + 32, drawn[1], r1);
  V::MaskStore8(d + at, last, rl);
  return true;
}

// kWhole 0: rows of a step and more, or of 32 bytes and less; else rows of
// kWhole whole vectors and fewer than a step. `end` holds the masks of the
// row's bytes from `end_at`, after its whole steps or vectors. Rows choose
// plain moves until one goes through the masks, then none does, as in
// half_blend_masked.h.
template <class V, int32_t kWhole>
__attribute__((noinline)) void BlendMaskedRect24(uint8_t* d, const uint8_t* s, int32_t width,
                                                 int32_t height, int32_t s_pitch, int32_t d_pitch) {
  static_assert(V::kBytes == 32, "one mask bit per byte of a vector");
  const int32_t row = 3 * width;
  const int32_t end_at = kWhole == 0 ? row - row % kStep24 : 32 * kWhole;
  const uint32_t end[3] = {BytesIn(end_at, row), BytesIn(end_at + 32, row),
                           BytesIn(end_at + 64, row)};
  int32_t r = 0;
  for (bool choosing = true; choosing && r < height; ++r) {
    if constexpr (kWhole == 0) {
      choosing =
          !BlendSteps24<V, true>(RowAt(d, r, d_pitch), RowAt(s, r, s_pitch), end_at, row, end);
    } else {
      choosing = !BlendShortRow24<V, kWhole, true>(RowAt(d, r, d_pitch), RowAt(s, r, s_pitch), row,
                                                   end[0]);
    }
  }
  for (; r < height; ++r) {
    if constexpr (kWhole == 0) {
      BlendSteps24<V, false>(RowAt(d, r, d_pitch), RowAt(s, r, s_pitch), end_at, row, end);
    } else {
      BlendShortRow24<V, kWhole, false>(RowAt(d, r, d_pitch), RowAt(s, r, s_pitch), row, end[0]);
    }
  }
}

}  // namespace
}  // namespace glimfx

#endif  // GLIMFX_BLEND_HALF_BLEND_MASKED24_H_

// 128-bit SSE2 operations, the `V` of the vector rows (blend_walk.h,
// night_walk.h). The SSE2 path runs on them, and the AVX2 path uses them too
// for runs half its vector wide and for 24-bit blocks of sixteen pixels.
//
// Included by sources built with different vector flags: everything here is
// in an anonymous namespace, so each source gets its own copy.
#ifndef GLIMFX_BLEND_SSE2_OPS_H_
#define GLIMFX_BLEND_SSE2_OPS_H_

#include <emmintrin.h>

#include <cstdint>

namespace glimfx {
namespace {

struct Sse2Ops {
  using Vec = __m128i;
  static constexpr int32_t kBytes = 16;
  // No masked moves of 4-byte lanes: rows over lanes walk drawn runs.
  static constexpr bool kMaskedLanes = false;

  static Vec Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const Vec*>(p)); }
  static void Store(uint8_t* p, Vec v) { _mm_storeu_si128(reinterpret_cast<Vec*>(p), v); }
  static Vec Splat32(uint32_t v) { return _mm_set1_epi32(static_cast<int>(v)); }
  static Vec And(Vec a, Vec b) { return _mm_and_si128(a, b); }
  static Vec Or(Vec a, Vec b) { return _mm_or_si128(a, b); }
  // Callers keep every field from overflowing, so no add carries across a
  // 16-bit lane and the lane width serves every layout.
  static Vec Add(Vec a, Vec b) { return _mm_add_epi16(a, b); }
  static Vec Sub16(Vec a, Vec b) { return _mm_sub_epi16(a, b); }
  // Within 16-bit lanes; callers mask off the bits that cross a field.
  static Vec ShiftRight1(Vec v) { return _mm_srli_epi16(v, 1); }
  static Vec IsZero16(Vec v) { return _mm_cmpeq_epi16(v, _mm_setzero_si128()); }
  static Vec IsPositive16(Vec v) { return _mm_cmpgt_epi16(v, _mm_setzero_si128()); }
  // Bit i set when byte i / 4-byte lane i is zero.
  static uint32_t ZeroBytes(Vec v) {
    return static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_setzero_si128())));
  }
  // All ones in each 4-byte lane that is zero.
  static Vec IsZero32(Vec v) { return _mm_cmpeq_epi32(v, _mm_setzero_si128()); }
  // Bit i set when 4-byte lane i has its top bit set.
  static uint32_t MoveMask32(Vec v) {
    return static_cast<uint32_t>(_mm_movemask_ps(_mm_castsi128_ps(v)));
  }
};

// The low 64 bits of Sse2Ops' vectors, for runs of half a vector.
struct Sse2LowHalf : Sse2Ops {
  static constexpr int32_t kBytes = 8;
  static Vec Load(const uint8_t* p) { return _mm_loadl_epi64(reinterpret_cast<const Vec*>(p)); }
  static void Store(uint8_t* p, Vec v) { _mm_storel_epi64(reinterpret_cast<Vec*>(p), v); }
};

}  // namespace
}  // namespace glimfx

#endif  // GLIMFX_BLEND_SSE2_OPS_H_

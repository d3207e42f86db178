// AVX2's operations (the contract is isa_ops.h): 256-bit vectors with masked
// moves of 4-byte lanes, the base of the AVX-512 ones, and SSE2's (ops_sse2.h)
// for runs of half a vector and 24-bit blocks.
//
// Included by sources built with different vector flags: everything here is
// in an anonymous namespace, so each source gets its own copy.
#ifndef GLIMFX_BLEND_OPS_AVX2_H_
#define GLIMFX_BLEND_OPS_AVX2_H_

#include <immintrin.h>

#include <cstdint>

#include "isa_ops.h"
#include "ops_sse2.h"

namespace glimfx {
namespace {

struct Avx2Ops : VectorOps<32> {
  using Narrow = Sse2Ops;

  static Vec Average16(Vec a, Vec b) { return _mm256_avg_epu16(a, b); }
  static uint32_t MoveMask8(Vec v) { return static_cast<uint32_t>(_mm256_movemask_epi8(v)); }
  static uint32_t ZeroBytes(Vec v) { return MoveMask8(IsZero8(v)); }
  static uint32_t MoveMask32(Vec v) {
    return static_cast<uint32_t>(_mm256_movemask_ps(_mm256_castsi256_ps(v)));
  }

  // Masked moves: a lane whose mask has its top bit clear is neither read
  // nor written. The rows mask off only lanes inside the row, memory the
  // caller owns, so no masked-off lane can fault whatever the processor.
  static constexpr bool kMaskedLanes = true;
  // A masked move here is several operations (Avx512Ops: one).
  static constexpr bool kOneOpMaskedLanes = false;
  // Masked vectors stay inside the row (half_blend_lanes.h).
  static constexpr bool kMaskedPastRow = false;
  // The lanes to move: all ones in each lane not set in `key` (a vector of
  // all-ones or zero lanes), from lane `from` on.
  static Vec DrawnLanes(Vec key) { return AndNot(key, Splat32(~0u)); }
  static Vec DrawnLanes(Vec key, int32_t from) {
    const auto before =
        _mm256_cmpgt_epi32(_mm256_set1_epi32(from), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    return AndNot(Or(key, before), Splat32(~0u));
  }
  static Vec MaskLoad32(const uint8_t* p, Vec m) {
    return _mm256_maskload_epi32(reinterpret_cast<const int*>(p), m);
  }
  static void MaskStore32(uint8_t* p, Vec m, Vec v) {
    _mm256_maskstore_epi32(reinterpret_cast<int*>(p), m, v);
  }
  // No masked moves of bytes: 24-bit rows walk drawn runs.
  static constexpr bool kMaskedBytes = false;
};

}  // namespace
}  // namespace glimfx

#endif  // GLIMFX_BLEND_OPS_AVX2_H_

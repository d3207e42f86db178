// AVX2's operations (the contract is isa_ops.h): 256-bit vectors with masked
// moves of 4-byte lanes, the base of the AVX-512 ones.
#ifndef GLIMFX_BLEND_OPS_AVX2_H_
#define GLIMFX_BLEND_OPS_AVX2_H_

#include <immintrin.h>

#include <cstdint>

#include "isa_ops.h"

namespace glimfx {
namespace {

struct Avx2Ops : VectorOps<32> {
  static Vec Average16(Vec a, Vec b) { return _mm256_avg_epu16(a, b); }
  static uint32_t MoveMask8(Vec v) { return static_cast<uint32_t>(_mm256_movemask_epi8(v)); }
  static uint32_t ZeroBytes(Vec v) { return MoveMask8(IsZero8(v)); }

  // A lane moves when its mask lane has its top bit set. The kernels mask
  // off only lanes inside the row, memory the caller owns, so no masked-off
  // lane can fault whatever the processor does with it.
  static constexpr bool kMaskedLanes = true;
  static constexpr bool kMaskRegisters = false;
  static Vec DrawnLanes(Vec key) { return ~key; }
  static Vec DrawnLanes(Vec key, int32_t from) {
    const auto before =
        _mm256_cmpgt_epi32(_mm256_set1_epi32(from), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    return ~(key | before);
  }
  static Vec MaskLoad32(const uint8_t* p, Vec m) {
    return _mm256_maskload_epi32(reinterpret_cast<const int*>(p), m);
  }
  static void MaskStore32(uint8_t* p, Vec m, Vec v) {
    _mm256_maskstore_epi32(reinterpret_cast<int*>(p), m, v);
  }
  static constexpr bool kMaskedBytes = false;
};

}  // namespace
}  // namespace glimfx

#endif  // GLIMFX_BLEND_OPS_AVX2_H_

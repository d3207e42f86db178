// AVX-512 BW and VL's operations (the contract is isa_ops.h): AVX2's 256-bit
// vectors (ops_avx2.h), with lane masks in mask registers and byte-masked
// moves, which let a 24-bit row load and store exactly its drawn pixels'
// bytes.
#ifndef GLIMFX_BLEND_OPS_AVX512_H_
#define GLIMFX_BLEND_OPS_AVX512_H_

#include <immintrin.h>

#include <cstdint>

#include "ops_avx2.h"

namespace glimfx {
namespace {

struct Avx512Ops : Avx2Ops {
  // Masks in mask registers: a masked move is one operation.
  static constexpr bool kMaskRegisters = true;
  static __mmask8 DrawnLanes(Vec key) { return _mm256_testn_epi32_mask(key, key); }
  static __mmask8 DrawnLanes(Vec key, int32_t from) {
    return static_cast<__mmask8>(DrawnLanes(key) & (0xFFu << from));
  }
  static Vec MaskLoad32(const uint8_t* p, __mmask8 m) { return _mm256_maskz_loadu_epi32(m, p); }
  static void MaskStore32(uint8_t* p, __mmask8 m, Vec v) { _mm256_mask_storeu_epi32(p, m, v); }

  // A masked-off byte loads as zero, is not written, and cannot fault.
  static constexpr bool kMaskedBytes = true;
  static Vec MaskLoad8(const uint8_t* p, uint32_t m) { return _mm256_maskz_loadu_epi8(m, p); }
  static void MaskStore8(uint8_t* p, uint32_t m, Vec v) { _mm256_mask_storeu_epi8(p, m, v); }
};

}  // namespace
}  // namespace glimfx

#endif  // GLIMFX_BLEND_OPS_AVX512_H_

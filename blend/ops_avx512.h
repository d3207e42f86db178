// AVX-512 BW and VL's operations (the contract is isa_ops.h): AVX2's 256-bit
// vectors (ops_avx2.h), with lane masks in mask registers and byte-masked
// moves, which let a 24-bit row load and store exactly its drawn pixels'
// bytes. Kept to 256-bit vectors.
//
// Included by sources built with different vector flags: everything here is
// in an anonymous namespace, so each source gets its own copy.
#ifndef GLIMFX_BLEND_OPS_AVX512_H_
#define GLIMFX_BLEND_OPS_AVX512_H_

#include <immintrin.h>

#include <cstdint>

#include "ops_avx2.h"

namespace glimfx {
namespace {

struct Avx512Ops : Avx2Ops {
  // Lanes to move as a mask register: masked moves through one are a single
  // load or store, where the vector-masked ones take several operations.
  static __mmask8 DrawnLanes(Vec key) { return _mm256_testn_epi32_mask(key, key); }
  static __mmask8 DrawnLanes(Vec key, int32_t from) {
    return static_cast<__mmask8>(DrawnLanes(key) & (0xFFu << from));
  }
  static Vec MaskLoad32(const uint8_t* p, __mmask8 m) { return _mm256_maskz_loadu_epi32(m, p); }
  static void MaskStore32(uint8_t* p, __mmask8 m, Vec v) { _mm256_mask_storeu_epi32(p, m, v); }
  static constexpr bool kOneOpMaskedLanes = true;
  // A lane whose mask bit is clear loads as zero and cannot fault, so a
  // row's last lanes take one vector that reaches past the row.
  static constexpr bool kMaskedPastRow = true;
  static __mmask8 FirstLanes(int32_t n) { return static_cast<__mmask8>((1u << n) - 1); }
  // A byte whose mask bit is clear is neither read (it loads as zero) nor
  // written, and cannot fault.
  static constexpr bool kMaskedBytes = true;
  static Vec MaskLoad8(const uint8_t* p, uint32_t m) { return _mm256_maskz_loadu_epi8(m, p); }
  static void MaskStore8(uint8_t* p, uint32_t m, Vec v) { _mm256_mask_storeu_epi8(p, m, v); }
};

}  // namespace
}  // namespace glimfx

#endif  // GLIMFX_BLEND_OPS_AVX512_H_

// SSE2's operations (the contract is isa_ops.h): 128-bit vectors, with
// 64-bit moves for runs half as wide. The SSE2 path runs on them, and the
// wider paths use them too, for runs half their vector wide and for 24-bit
// blocks of sixteen pixels.
//
// Included by sources built with different vector flags: everything here is
// in an anonymous namespace, so each source gets its own copy.
#ifndef GLIMFX_BLEND_OPS_SSE2_H_
#define GLIMFX_BLEND_OPS_SSE2_H_

#include <emmintrin.h>

#include <cstdint>

#include "isa_ops.h"

namespace glimfx {
namespace {

struct Sse2Ops64;

struct Sse2Ops : VectorOps<16> {
  using Narrow = Sse2Ops64;
  // No masked moves of 4-byte lanes: rows over lanes walk drawn runs.
  static constexpr bool kMaskedLanes = false;
  // No masked moves of bytes: 24-bit rows walk drawn runs.
  static constexpr bool kMaskedBytes = false;

  static Vec Average16(Vec a, Vec b) { return _mm_avg_epu16(a, b); }
  // Bit i set when byte i has its top bit set.
  static uint32_t MoveMask8(Vec v) { return static_cast<uint32_t>(_mm_movemask_epi8(v)); }
  // Bit i set when byte i is zero.
  static uint32_t ZeroBytes(Vec v) { return MoveMask8(IsZero8(v)); }
  // Bit i set when 4-byte lane i has its top bit set.
  static uint32_t MoveMask32(Vec v) {
    return static_cast<uint32_t>(_mm_movemask_ps(_mm_castsi128_ps(v)));
  }
};

// The low 64 bits of Sse2Ops' vectors, for runs of half a vector.
struct Sse2Ops64 : Sse2Ops {
  static constexpr int32_t kBytes = 8;
  static Vec Load(const uint8_t* p) { return _mm_loadl_epi64(reinterpret_cast<const Vec*>(p)); }
  static void Store(uint8_t* p, Vec v) { _mm_storel_epi64(reinterpret_cast<Vec*>(p), v); }
};

}  // namespace
}  // namespace glimfx

#endif  // GLIMFX_BLEND_OPS_SSE2_H_

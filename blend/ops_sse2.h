// SSE2's operations (the contract is isa_ops.h): 128-bit vectors, no masked
// moves. Sse2Ops64 is the same over 64-bit moves; the run kernel
// (half_blend_runs.h) takes both for runs too short for a wider vector.
#ifndef GLIMFX_BLEND_OPS_SSE2_H_
#define GLIMFX_BLEND_OPS_SSE2_H_

#include <emmintrin.h>

#include <cstdint>

#include "isa_ops.h"

namespace glimfx {
namespace {

struct Sse2Ops : VectorOps<16> {
  static constexpr bool kMaskedLanes = false;
  static constexpr bool kMaskedBytes = false;

  static Vec Average16(Vec a, Vec b) { return _mm_avg_epu16(a, b); }
  static uint32_t MoveMask8(Vec v) { return static_cast<uint32_t>(_mm_movemask_epi8(v)); }
  static uint32_t ZeroBytes(Vec v) { return MoveMask8(IsZero8(v)); }
};

struct Sse2Ops64 : Sse2Ops {
  static constexpr int32_t kBytes = 8;
  static Vec Load(const uint8_t* p) { return _mm_loadl_epi64(reinterpret_cast<const Vec*>(p)); }
  static void Store(uint8_t* p, Vec v) { _mm_storel_epi64(reinterpret_cast<Vec*>(p), v); }
};

}  // namespace
}  // namespace glimfx

#endif  // GLIMFX_BLEND_OPS_SSE2_H_

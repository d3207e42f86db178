// The AVX2 path: 256-bit vectors, with 128-bit ones (sse2_ops.h) for runs of
// half a vector and 24-bit blocks. Built with -mavx2; only chosen once the
// processor and OS are known to support AVX2. Only the table has external
// linkage, so no other caller picks up AVX2 code.
#include <immintrin.h>

#include "paths.h"
#include "sse2_ops.h"
#include "vector_paths.h"

namespace glimfx {
namespace {

struct Avx2Path {
  using Vec = __m256i;
  using Half = Sse2Ops;
  static constexpr int32_t kBytes = 32;

  static Vec Load(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const Vec*>(p)); }
  static void Store(uint8_t* p, Vec v) { _mm256_storeu_si256(reinterpret_cast<Vec*>(p), v); }
  static Vec Splat32(uint32_t v) { return _mm256_set1_epi32(static_cast<int>(v)); }
  static Vec And(Vec a, Vec b) { return _mm256_and_si256(a, b); }
  static Vec Or(Vec a, Vec b) { return _mm256_or_si256(a, b); }
  static Vec Add(Vec a, Vec b) { return _mm256_add_epi16(a, b); }
  static Vec Sub16(Vec a, Vec b) { return _mm256_sub_epi16(a, b); }
  static Vec ShiftRight1(Vec v) { return _mm256_srli_epi16(v, 1); }
  static Vec IsZero16(Vec v) { return _mm256_cmpeq_epi16(v, _mm256_setzero_si256()); }
  static Vec IsPositive16(Vec v) { return _mm256_cmpgt_epi16(v, _mm256_setzero_si256()); }
  static uint32_t ZeroBytes(Vec v) {
    return static_cast<uint32_t>(
        _mm256_movemask_epi8(_mm256_cmpeq_epi8(v, _mm256_setzero_si256())));
  }
  static Vec IsZero32(Vec v) { return _mm256_cmpeq_epi32(v, _mm256_setzero_si256()); }
  static uint32_t MoveMask32(Vec v) {
    return static_cast<uint32_t>(_mm256_movemask_ps(_mm256_castsi256_ps(v)));
  }

  // Masked moves: a lane whose mask has its top bit clear is neither read
  // nor written, and cannot fault.
  static constexpr bool kMaskedLanes = true;
  static Vec AndNot(Vec a, Vec b) { return _mm256_andnot_si256(a, b); }
  static Vec MaskLoad32(const uint8_t* p, Vec m) {
    return _mm256_maskload_epi32(reinterpret_cast<const int*>(p), m);
  }
  static void MaskStore32(uint8_t* p, Vec m, Vec v) {
    _mm256_maskstore_epi32(reinterpret_cast<int*>(p), m, v);
  }
  // All ones in lanes 0 to n - 1.
  static Vec FirstLanes(int32_t n) {
    return _mm256_cmpgt_epi32(_mm256_set1_epi32(n), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
  }
};

}  // namespace

const PathTable kAvx2Paths = VectorPaths<Avx2Path>();

}  // namespace glimfx

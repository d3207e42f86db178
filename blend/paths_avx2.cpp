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

struct Avx2Path : VectorOps<32> {
  using Half = Sse2Ops;

  static uint32_t ZeroBytes(Vec v) {
    return static_cast<uint32_t>(_mm256_movemask_epi8(IsZero8(v)));
  }
  static uint32_t MoveMask32(Vec v) {
    return static_cast<uint32_t>(_mm256_movemask_ps(_mm256_castsi256_ps(v)));
  }

  // Masked moves: a lane whose mask has its top bit clear is neither read
  // nor written. The rows mask off only lanes inside the row, memory the
  // caller owns, so no masked-off lane can fault whatever the processor.
  static constexpr bool kMaskedLanes = true;
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

// The AVX-512 path: AVX2's 256-bit vectors (avx2_ops.h) with the byte-masked
// moves of AVX-512 BW and VL, which let a 24-bit row load and store exactly
// its drawn pixels' bytes. Built with -mavx512bw -mavx512vl, but kept to
// 256-bit vectors; only chosen once the processor and OS are known to support
// both. Only the table has external linkage.
#include <immintrin.h>

#include "avx2_ops.h"
#include "paths.h"
#include "vector_paths.h"

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

const PathTable kAvx512Paths = VectorPaths<Avx512Ops>();

}  // namespace glimfx

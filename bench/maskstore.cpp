// Built with -mavx2; only called once MaskstoreRuns() says so.
#include "maskstore.h"

#include <immintrin.h>

#include "glimfx.h"

namespace glimfx_bench {
namespace {

using Vec = __m256i;

Vec LoadU(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const Vec*>(p)); }

// The last `n` lanes (1..7) of a row: the others are neither read nor written.
Vec TailMask(int32_t n) {
  const Vec lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  return _mm256_cmpgt_epi32(_mm256_set1_epi32(n), lane);
}

template <bool kPairs>
Vec BlendVec(Vec dv, Vec sv, Vec half_mask) {
  if (kPairs)
    sv = _mm256_or_si256(sv, _mm256_and_si256(dv, _mm256_cmpeq_epi16(sv, _mm256_setzero_si256())));
  return _mm256_add_epi16(_mm256_and_si256(_mm256_srli_epi16(dv, 1), half_mask),
                          _mm256_and_si256(_mm256_srli_epi16(sv, 1), half_mask));
}

// `lanes` 4-byte lanes of one row.
template <bool kPairs>
void Lanes(uint8_t* d, const uint8_t* s, int32_t lanes, Vec key_bits, Vec half_mask) {
  const Vec zero = _mm256_setzero_si256();
  int32_t i = 0;
  for (; i + 8 <= lanes; i += 8, d += 32, s += 32) {
    const Vec sv = LoadU(s);
    const Vec key = _mm256_cmpeq_epi32(_mm256_and_si256(sv, key_bits), zero);
    const int m = _mm256_movemask_ps(_mm256_castsi256_ps(key));
    if (m == 0xFF) continue;
    if (m == 0) {
      _mm256_storeu_si256(reinterpret_cast<Vec*>(d), BlendVec<kPairs>(LoadU(d), sv, half_mask));
      continue;
    }
    const Vec drawn = _mm256_andnot_si256(key, _mm256_set1_epi32(-1));
    const Vec dv = _mm256_maskload_epi32(reinterpret_cast<const int*>(d), drawn);
    _mm256_maskstore_epi32(reinterpret_cast<int*>(d), drawn, BlendVec<kPairs>(dv, sv, half_mask));
  }
  if (i == lanes) return;
  const Vec in_row = TailMask(lanes - i);
  const Vec sv = _mm256_maskload_epi32(reinterpret_cast<const int*>(s), in_row);
  const Vec drawn =
      _mm256_andnot_si256(_mm256_cmpeq_epi32(_mm256_and_si256(sv, key_bits), zero), in_row);
  const Vec dv = _mm256_maskload_epi32(reinterpret_cast<const int*>(d), drawn);
  _mm256_maskstore_epi32(reinterpret_cast<int*>(d), drawn, BlendVec<kPairs>(dv, sv, half_mask));
}

void Row16(uint8_t* d, const uint8_t* s, int32_t width, uint32_t pair_mask, uint16_t half_mask) {
  Lanes<true>(d, s, width >> 1, _mm256_set1_epi32(-1),
              _mm256_set1_epi32(static_cast<int>(pair_mask)));
  if ((width & 1) == 0) return;
  const int32_t at = 2 * (width - 1);
  const uint16_t sv = static_cast<uint16_t>(s[at] | s[at + 1] << 8);
  if (sv == 0) return;
  const uint16_t dv = static_cast<uint16_t>(d[at] | d[at + 1] << 8);
  const uint16_t r = static_cast<uint16_t>(((sv >> 1) & half_mask) + ((dv >> 1) & half_mask));
  d[at] = static_cast<uint8_t>(r);
  d[at + 1] = static_cast<uint8_t>(r >> 8);
}

}  // namespace

bool MaskstoreRuns() { return __builtin_cpu_supports("avx2"); }

bool MaskstoreHandles(uint32_t format) {
  return format == GLIMFX_FORMAT_555 || format == GLIMFX_FORMAT_565 || format == GLIMFX_FORMAT_32;
}

void MaskstoreBlend(uint8_t* dest, const uint8_t* src, int32_t width, int32_t height,
                    int32_t src_pitch, int32_t dest_pitch, uint32_t format) {
  for (int32_t r = 0; r < height; ++r, dest += dest_pitch, src += src_pitch) {
    if (format == GLIMFX_FORMAT_32) {
      Lanes<false>(dest, src, width, _mm256_set1_epi32(0xFFFFFF), _mm256_set1_epi32(0x7F7F7F));
    } else if (format == GLIMFX_FORMAT_565) {
      Row16(dest, src, width, 0x7BEF7BEF, 0x7BEF);
    } else {
      Row16(dest, src, width, 0x3DEF3DEF, 0x3DEF);
    }
  }
}

}  // namespace glimfx_bench

// Half-blend rows with 256-bit AVX2 vectors. Built with -mavx2; only called
// once the processor and OS are known to support AVX2. Everything here apart
// from the exported rows stays internal so no other caller picks up AVX2 code.
#include <immintrin.h>

#include "alpha24_runs.h"
#include "alpha_rows.h"
#include "row_walk.h"
#include "simd_rows.h"

namespace glimfx {
namespace {

static inline __m256i Load(const uint8_t* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
static inline void Store(uint8_t* p, __m256i v) {
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

// Halves every field of 16-bit lanes or bytes and adds the halves; no field
// overflows, so lane-wise adds carry nowhere.
static inline __m256i HalfSum(__m256i a, __m256i b, __m256i mask) {
  return _mm256_add_epi16(_mm256_and_si256(_mm256_srli_epi16(a, 1), mask),
                          _mm256_and_si256(_mm256_srli_epi16(b, 1), mask));
}
static inline __m128i HalfSum(__m128i a, __m128i b, __m128i mask) {
  return _mm_add_epi16(_mm_and_si128(_mm_srli_epi16(a, 1), mask),
                       _mm_and_si128(_mm_srli_epi16(b, 1), mask));
}

// Sixteen pixels (eight pairs, one per 32-bit lane) per step. Mixed blocks
// use masked loads and stores, which leave the all-key pairs' destination
// bytes unread and unwritten.
template <uint32_t kPairMask, uint16_t kHalfMask>
static inline void AlphaRow16(uint8_t* d, const uint8_t* s, int32_t width) {
  const __m256i mask = _mm256_set1_epi32(static_cast<int>(kPairMask));
  const __m256i zero = _mm256_setzero_si256();
  const int32_t steps = width >> 4;
  for (int32_t i = 0; i < steps; ++i, d += 32, s += 32) {
    const __m256i sv = Load(s);
    const __m256i key_pairs = _mm256_cmpeq_epi32(sv, zero);
    const int key_bits = _mm256_movemask_epi8(key_pairs);
    // A key pixel beside a drawn one stands in for its own destination pixel.
    const __m256i key_pixels = _mm256_cmpeq_epi16(sv, zero);
    if (key_bits == 0) {
      const __m256i dv = Load(d);
      Store(d, HalfSum(dv, _mm256_or_si256(sv, _mm256_and_si256(dv, key_pixels)), mask));
    } else if (key_bits != -1) {
      const __m256i drawn = _mm256_xor_si256(key_pairs, _mm256_cmpeq_epi32(zero, zero));
      const __m256i dv = _mm256_maskload_epi32(reinterpret_cast<const int*>(d), drawn);
      const __m256i r = HalfSum(dv, _mm256_or_si256(sv, _mm256_and_si256(dv, key_pixels)), mask);
      _mm256_maskstore_epi32(reinterpret_cast<int*>(d), drawn, r);
    }
  }
  AlphaRow16_Scalar<kPairMask, kHalfMask>(d, s, width & 15);
}

static inline void AlphaRow555_Avx2(uint8_t* d, const uint8_t* s, int32_t width) {
  AlphaRow16<kPairMask555, kHalfMask555>(d, s, width);
}

static inline void AlphaRow565_Avx2(uint8_t* d, const uint8_t* s, int32_t width) {
  AlphaRow16<kPairMask565, kHalfMask565>(d, s, width);
}

// Thirty-two pixels (96 bytes) per step, looked at as two halves of sixteen
// pixels (48 bytes). Masked stores work on 4-byte lanes, which 3-byte pixels
// do not fill, so a half holding key and drawn pixels goes to the scalar row.
static inline void AlphaRow24_Avx2(uint8_t* d, const uint8_t* s, int32_t width) {
  constexpr uint64_t kPixelStarts = 0x249249249249ull;  // bit 3i for pixel i
  const __m256i mask = _mm256_set1_epi8(0x7F);
  const __m256i zero = _mm256_setzero_si256();
  const int32_t steps = width >> 5;
  for (int32_t i = 0; i < steps; ++i, d += 96, s += 96) {
    const __m256i s0 = Load(s);
    const __m256i s1 = Load(s + 32);
    const __m256i s2 = Load(s + 64);
    const uint32_t z0 = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(s0, zero)));
    const uint32_t z1 = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(s1, zero)));
    const uint32_t z2 = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(s2, zero)));
    const uint64_t zl = z0 | static_cast<uint64_t>(z1 & 0xFFFF) << 32;
    const uint64_t zh = (z1 >> 16) | static_cast<uint64_t>(z2) << 16;
    const uint64_t keys_lo = zl & (zl >> 1) & (zl >> 2) & kPixelStarts;
    const uint64_t keys_hi = zh & (zh >> 1) & (zh >> 2) & kPixelStarts;
    if ((keys_lo | keys_hi) == 0) {
      const __m256i d0 = Load(d);
      const __m256i d1 = Load(d + 32);
      const __m256i d2 = Load(d + 64);
      Store(d, HalfSum(d0, s0, mask));
      Store(d + 32, HalfSum(d1, s1, mask));
      Store(d + 64, HalfSum(d2, s2, mask));
      continue;
    }
    for (int half = 0; half < 2; ++half) {
      const uint64_t keys = half == 0 ? keys_lo : keys_hi;
      uint8_t* dh = d + 48 * half;
      const uint8_t* sh = s + 48 * half;
      if (keys == kPixelStarts) continue;
      if (keys != 0) {
        AlphaMixed24(dh, sh, keys);
        continue;
      }
      const __m128i m = _mm256_castsi256_si128(mask);
      for (int k = 0; k < 48; k += 16) {
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sh + k));
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dh + k));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dh + k), HalfSum(dv, sv, m));
      }
    }
  }
  AlphaRow24_Scalar(d, s, width & 31);
}

// Eight pixels per step; a key pixel's lane is masked out of the load and the
// store. The top byte is no colour: it marks nothing and is masked away.
static inline void AlphaRow32_Avx2(uint8_t* d, const uint8_t* s, int32_t width) {
  const __m256i mask = _mm256_set1_epi32(static_cast<int>(kHalfMask888));
  const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
  const __m256i zero = _mm256_setzero_si256();
  const int32_t steps = width >> 3;
  for (int32_t i = 0; i < steps; ++i, d += 32, s += 32) {
    const __m256i sv = Load(s);
    const __m256i keys = _mm256_cmpeq_epi32(_mm256_and_si256(sv, colour), zero);
    const int key_bits = _mm256_movemask_epi8(keys);
    if (key_bits == 0) {
      Store(d, HalfSum(Load(d), sv, mask));
    } else if (key_bits != -1) {
      const __m256i drawn = _mm256_xor_si256(keys, _mm256_cmpeq_epi32(zero, zero));
      const __m256i dv = _mm256_maskload_epi32(reinterpret_cast<const int*>(d), drawn);
      _mm256_maskstore_epi32(reinterpret_cast<int*>(d), drawn, HalfSum(dv, sv, mask));
    }
  }
  AlphaRow32_Scalar(d, s, width & 7);
}

}  // namespace

// The rows are inlined into each rectangle's walk, so a row costs no call.
void AlphaRect555_Avx2(uint8_t* d, const uint8_t* s, int32_t width, int32_t height, int32_t s_pitch,
                       int32_t d_pitch) {
  WalkRows(d, s, width, height, s_pitch, d_pitch,
           [](uint8_t* dr, const uint8_t* sr, int32_t w) { AlphaRow555_Avx2(dr, sr, w); });
}

void AlphaRect565_Avx2(uint8_t* d, const uint8_t* s, int32_t width, int32_t height, int32_t s_pitch,
                       int32_t d_pitch) {
  WalkRows(d, s, width, height, s_pitch, d_pitch,
           [](uint8_t* dr, const uint8_t* sr, int32_t w) { AlphaRow565_Avx2(dr, sr, w); });
}

void AlphaRect24_Avx2(uint8_t* d, const uint8_t* s, int32_t width, int32_t height, int32_t s_pitch,
                      int32_t d_pitch) {
  WalkRows(d, s, width, height, s_pitch, d_pitch,
           [](uint8_t* dr, const uint8_t* sr, int32_t w) { AlphaRow24_Avx2(dr, sr, w); });
}

void AlphaRect32_Avx2(uint8_t* d, const uint8_t* s, int32_t width, int32_t height, int32_t s_pitch,
                      int32_t d_pitch) {
  WalkRows(d, s, width, height, s_pitch, d_pitch,
           [](uint8_t* dr, const uint8_t* sr, int32_t w) { AlphaRow32_Avx2(dr, sr, w); });
}

}  // namespace glimfx

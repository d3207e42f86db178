// Half-blend rows with 256-bit AVX2 vectors. Built with -mavx2; only called
// once the processor and OS are known to support AVX2. Everything here apart
// from the exported rows stays internal so no other caller picks up AVX2 code.
#include <immintrin.h>

#include "alpha24_runs.h"
#include "alpha_rows.h"
#include "lane_runs.h"
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

// 16-bit pairs as 4-byte lanes for lane_runs.h: a lane is a key lane when
// both pixels are key pixels; in a drawn lane a key pixel stands in for its
// own destination pixel.
template <uint32_t kPairMask, uint16_t kHalfMask>
struct PairOps {
  static constexpr int32_t kLanes = 8;
  static uint32_t KeyBits(const uint8_t* s) {
    return static_cast<uint32_t>(_mm256_movemask_ps(
        _mm256_castsi256_ps(_mm256_cmpeq_epi32(Load(s), _mm256_setzero_si256()))));
  }
  static __m256i Blend(const uint8_t* d, const uint8_t* s) {
    const __m256i sv = Load(s);
    const __m256i dv = Load(d);
    const __m256i filled =
        _mm256_or_si256(sv, _mm256_and_si256(dv, _mm256_cmpeq_epi16(sv, _mm256_setzero_si256())));
    return HalfSum(dv, filled, _mm256_set1_epi32(static_cast<int>(kPairMask)));
  }
  static void Store(uint8_t* d, __m256i v) { glimfx::Store(d, v); }
  static __m128i BlendHalf(const uint8_t* d, const uint8_t* s) {
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
    const __m128i filled =
        _mm_or_si128(sv, _mm_and_si128(dv, _mm_cmpeq_epi16(sv, _mm_setzero_si128())));
    return HalfSum(dv, filled, _mm_set1_epi32(static_cast<int>(kPairMask)));
  }
  static void StoreHalf(uint8_t* d, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), v);
  }
  static void BlendLane(uint8_t* d, const uint8_t* s) {
    AlphaRow16_Scalar<kPairMask, kHalfMask>(d, s, 2);
  }
};

// Every pair by lane runs; a lone last pixel goes to the scalar row.
template <uint32_t kPairMask, uint16_t kHalfMask>
static inline void AlphaRow16(uint8_t* d, const uint8_t* s, int32_t width) {
  using Ops = PairOps<kPairMask, kHalfMask>;
  const int32_t pairs = width >> 1;
  if (pairs < Ops::kLanes) {
    AlphaRow16_Scalar<kPairMask, kHalfMask>(d, s, width);
    return;
  }
  BlendLaneRuns<Ops>(d, s, pairs);
  AlphaRow16_Scalar<kPairMask, kHalfMask>(d + 4 * pairs, s + 4 * pairs, width & 1);
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

// 32-bit pixels as lanes for lane_runs.h. The top byte is no colour: it
// marks nothing and is masked away.
struct PixelOps {
  static constexpr int32_t kLanes = 8;
  static uint32_t KeyBits(const uint8_t* s) {
    const __m256i colour = _mm256_slli_epi32(Load(s), 8);
    return static_cast<uint32_t>(_mm256_movemask_ps(
        _mm256_castsi256_ps(_mm256_cmpeq_epi32(colour, _mm256_setzero_si256()))));
  }
  static __m256i Blend(const uint8_t* d, const uint8_t* s) {
    return HalfSum(Load(d), Load(s), _mm256_set1_epi32(static_cast<int>(kHalfMask888)));
  }
  static void Store(uint8_t* d, __m256i v) { glimfx::Store(d, v); }
  static __m128i BlendHalf(const uint8_t* d, const uint8_t* s) {
    return HalfSum(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d)),
                   _mm_loadu_si128(reinterpret_cast<const __m128i*>(s)),
                   _mm_set1_epi32(static_cast<int>(kHalfMask888)));
  }
  static void StoreHalf(uint8_t* d, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), v);
  }
  static void BlendLane(uint8_t* d, const uint8_t* s) { AlphaRow32_Scalar(d, s, 1); }
};

static inline void AlphaRow32_Avx2(uint8_t* d, const uint8_t* s, int32_t width) {
  if (width < PixelOps::kLanes) {
    AlphaRow32_Scalar(d, s, width);
    return;
  }
  BlendLaneRuns<PixelOps>(d, s, width);
}

}  // namespace

// The rows are inlined into each rectangle's walk, so a row costs no call.
void AlphaRect555_Avx2(uint8_t* d, const uint8_t* s, int32_t width, int32_t height, int32_t s_pitch,
                       int32_t d_pitch) {
  WalkRect<AlphaRow555_Avx2>(d, s, width, height, s_pitch, d_pitch);
}

void AlphaRect565_Avx2(uint8_t* d, const uint8_t* s, int32_t width, int32_t height, int32_t s_pitch,
                       int32_t d_pitch) {
  WalkRect<AlphaRow565_Avx2>(d, s, width, height, s_pitch, d_pitch);
}

void AlphaRect24_Avx2(uint8_t* d, const uint8_t* s, int32_t width, int32_t height, int32_t s_pitch,
                      int32_t d_pitch) {
  WalkRect<AlphaRow24_Avx2>(d, s, width, height, s_pitch, d_pitch);
}

void AlphaRect32_Avx2(uint8_t* d, const uint8_t* s, int32_t width, int32_t height, int32_t s_pitch,
                      int32_t d_pitch) {
  WalkRect<AlphaRow32_Avx2>(d, s, width, height, s_pitch, d_pitch);
}

}  // namespace glimfx

// Half-blend rows with 128-bit SSE2 vectors. Built with -msse2 alone; only
// called once the processor is known to have SSE2.
#include <emmintrin.h>

#include "alpha24_runs.h"
#include "alpha_rows.h"
#include "lane_runs.h"
#include "row_walk.h"
#include "simd_rows.h"

namespace glimfx {
namespace {

static inline __m128i Load(const uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
static inline void Store(uint8_t* p, __m128i v) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

// Halves every field of 16-bit lanes or bytes, as the scalar rows do, and
// adds the halves. No field overflows, so lane-wise adds carry nowhere.
static inline __m128i HalfSum16(__m128i a, __m128i b, __m128i mask) {
  return _mm_add_epi16(_mm_and_si128(_mm_srli_epi16(a, 1), mask),
                       _mm_and_si128(_mm_srli_epi16(b, 1), mask));
}

// 16-bit pairs as 4-byte lanes for lane_runs.h: a lane is a key lane when
// both pixels are key pixels; in a drawn lane a key pixel stands in for its
// own destination pixel.
template <uint32_t kPairMask, uint16_t kHalfMask>
struct PairOps {
  static constexpr int32_t kLanes = 4;
  static __m128i Filled(__m128i dv, __m128i sv) {
    return _mm_or_si128(sv, _mm_and_si128(dv, _mm_cmpeq_epi16(sv, _mm_setzero_si128())));
  }
  static uint32_t KeyBits(const uint8_t* s) {
    return static_cast<uint32_t>(
        _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(Load(s), _mm_setzero_si128()))));
  }
  static __m128i Blend(const uint8_t* d, const uint8_t* s) {
    const __m128i dv = Load(d);
    return HalfSum16(dv, Filled(dv, Load(s)), _mm_set1_epi32(static_cast<int>(kPairMask)));
  }
  static void Store(uint8_t* d, __m128i v) { glimfx::Store(d, v); }
  static __m128i BlendHalf(const uint8_t* d, const uint8_t* s) {
    const __m128i dv = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(d));
    const __m128i sv = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s));
    return HalfSum16(dv, Filled(dv, sv), _mm_set1_epi32(static_cast<int>(kPairMask)));
  }
  static void StoreHalf(uint8_t* d, __m128i v) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(d), v);
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

static inline void AlphaRow555_Sse2(uint8_t* d, const uint8_t* s, int32_t width) {
  AlphaRow16<kPairMask555, kHalfMask555>(d, s, width);
}

static inline void AlphaRow565_Sse2(uint8_t* d, const uint8_t* s, int32_t width) {
  AlphaRow16<kPairMask565, kHalfMask565>(d, s, width);
}

// Sixteen pixels (48 bytes, three vectors) per step. The blend is the same
// for every byte, so pixel boundaries only matter for finding key pixels.
static inline void AlphaRow24_Sse2(uint8_t* d, const uint8_t* s, int32_t width) {
  constexpr uint64_t kPixelStarts = 0x249249249249ull;  // bit 3i for pixel i
  const __m128i mask = _mm_set1_epi8(0x7F);
  const __m128i zero = _mm_setzero_si128();
  const int32_t steps = width >> 4;
  for (int32_t i = 0; i < steps; ++i, d += 48, s += 48) {
    const __m128i s0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    const __m128i s1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16));
    const __m128i s2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 32));
    const uint64_t zero_bytes =
        static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(s0, zero)))) |
        static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(s1, zero))))
            << 16 |
        static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(s2, zero))))
            << 32;
    const uint64_t keys = zero_bytes & (zero_bytes >> 1) & (zero_bytes >> 2) & kPixelStarts;
    if (keys != 0) {
      if (keys != kPixelStarts) AlphaMixed24(d, s, keys);
      continue;
    }
    __m128i* dp = reinterpret_cast<__m128i*>(d);
    const __m128i d0 = _mm_loadu_si128(dp);
    const __m128i d1 = _mm_loadu_si128(dp + 1);
    const __m128i d2 = _mm_loadu_si128(dp + 2);
    _mm_storeu_si128(dp, HalfSum16(d0, s0, mask));
    _mm_storeu_si128(dp + 1, HalfSum16(d1, s1, mask));
    _mm_storeu_si128(dp + 2, HalfSum16(d2, s2, mask));
  }
  AlphaRow24_Scalar(d, s, width & 15);
}

// 32-bit pixels as lanes for lane_runs.h. The top byte is no colour: it
// marks nothing and is masked away.
struct PixelOps {
  static constexpr int32_t kLanes = 4;
  static uint32_t KeyBits(const uint8_t* s) {
    const __m128i colour = _mm_slli_epi32(Load(s), 8);
    return static_cast<uint32_t>(
        _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(colour, _mm_setzero_si128()))));
  }
  static __m128i Blend(const uint8_t* d, const uint8_t* s) {
    return HalfSum16(Load(d), Load(s), _mm_set1_epi32(static_cast<int>(kHalfMask888)));
  }
  static void Store(uint8_t* d, __m128i v) { glimfx::Store(d, v); }
  static __m128i BlendHalf(const uint8_t* d, const uint8_t* s) {
    return HalfSum16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(d)),
                     _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s)),
                     _mm_set1_epi32(static_cast<int>(kHalfMask888)));
  }
  static void StoreHalf(uint8_t* d, __m128i v) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(d), v);
  }
  static void BlendLane(uint8_t* d, const uint8_t* s) { AlphaRow32_Scalar(d, s, 1); }
};

static inline void AlphaRow32_Sse2(uint8_t* d, const uint8_t* s, int32_t width) {
  if (width < PixelOps::kLanes) {
    AlphaRow32_Scalar(d, s, width);
    return;
  }
  BlendLaneRuns<PixelOps>(d, s, width);
}

}  // namespace

// The rows are inlined into each rectangle's walk, so a row costs no call.
void AlphaRect555_Sse2(uint8_t* d, const uint8_t* s, int32_t width, int32_t height, int32_t s_pitch,
                       int32_t d_pitch) {
  WalkRect<AlphaRow555_Sse2>(d, s, width, height, s_pitch, d_pitch);
}

void AlphaRect565_Sse2(uint8_t* d, const uint8_t* s, int32_t width, int32_t height, int32_t s_pitch,
                       int32_t d_pitch) {
  WalkRect<AlphaRow565_Sse2>(d, s, width, height, s_pitch, d_pitch);
}

void AlphaRect24_Sse2(uint8_t* d, const uint8_t* s, int32_t width, int32_t height, int32_t s_pitch,
                      int32_t d_pitch) {
  WalkRect<AlphaRow24_Sse2>(d, s, width, height, s_pitch, d_pitch);
}

void AlphaRect32_Sse2(uint8_t* d, const uint8_t* s, int32_t width, int32_t height, int32_t s_pitch,
                      int32_t d_pitch) {
  WalkRect<AlphaRow32_Sse2>(d, s, width, height, s_pitch, d_pitch);
}

}  // namespace glimfx

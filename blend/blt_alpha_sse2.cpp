// Half-blend rows with 128-bit SSE2 vectors. Built with -msse2 alone; only
// called once the processor is known to have SSE2.
#include <emmintrin.h>

#include "alpha24_runs.h"
#include "alpha_rows.h"
#include "row_walk.h"
#include "simd_rows.h"

namespace glimfx {
namespace {

// Halves every field of 16-bit lanes or bytes, as the scalar rows do, and
// adds the halves. No field overflows, so lane-wise adds carry nowhere.
static inline __m128i HalfSum16(__m128i a, __m128i b, __m128i mask) {
  return _mm_add_epi16(_mm_and_si128(_mm_srli_epi16(a, 1), mask),
                       _mm_and_si128(_mm_srli_epi16(b, 1), mask));
}

// Eight pixels (four pairs) per step. A block whose pairs are all drawn is
// blended whole; an all-key block is left alone; a mixed block goes to the
// scalar row, which reads and writes exactly the pairs the rule allows.
template <uint32_t kPairMask, uint16_t kHalfMask>
static inline void AlphaRow16(uint8_t* d, const uint8_t* s, int32_t width) {
  const __m128i mask = _mm_set1_epi32(static_cast<int>(kPairMask));
  const __m128i zero = _mm_setzero_si128();
  const int32_t steps = width >> 3;
  for (int32_t i = 0; i < steps; ++i, d += 16, s += 16) {
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    const int key_pairs = _mm_movemask_epi8(_mm_cmpeq_epi32(sv, zero));
    if (key_pairs != 0) {
      if (key_pairs != 0xFFFF) AlphaRow16_Scalar<kPairMask, kHalfMask>(d, s, 8);
      continue;
    }
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
    // A key pixel beside a drawn one stands in for its own destination pixel.
    const __m128i filled = _mm_or_si128(sv, _mm_and_si128(dv, _mm_cmpeq_epi16(sv, zero)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), HalfSum16(dv, filled, mask));
  }
  AlphaRow16_Scalar<kPairMask, kHalfMask>(d, s, width & 7);
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

// Four pixels per step; the top byte is no colour, so it neither marks a key
// pixel nor survives the mask.
static inline void AlphaRow32_Sse2(uint8_t* d, const uint8_t* s, int32_t width) {
  const __m128i mask = _mm_set1_epi32(static_cast<int>(kHalfMask888));
  const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
  const __m128i zero = _mm_setzero_si128();
  const int32_t steps = width >> 2;
  for (int32_t i = 0; i < steps; ++i, d += 16, s += 16) {
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    const int keys = _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(sv, colour), zero));
    if (keys != 0) {
      if (keys != 0xFFFF) AlphaRow32_Scalar(d, s, 4);
      continue;
    }
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), HalfSum16(dv, sv, mask));
  }
  AlphaRow32_Scalar(d, s, width & 3);
}

}  // namespace

// The rows are inlined into each rectangle's walk, so a row costs no call.
void AlphaRect555_Sse2(uint8_t* d, const uint8_t* s, int32_t width, int32_t height, int32_t s_pitch,
                       int32_t d_pitch) {
  WalkRows(d, s, width, height, s_pitch, d_pitch,
           [](uint8_t* dr, const uint8_t* sr, int32_t w) { AlphaRow555_Sse2(dr, sr, w); });
}

void AlphaRect565_Sse2(uint8_t* d, const uint8_t* s, int32_t width, int32_t height, int32_t s_pitch,
                       int32_t d_pitch) {
  WalkRows(d, s, width, height, s_pitch, d_pitch,
           [](uint8_t* dr, const uint8_t* sr, int32_t w) { AlphaRow565_Sse2(dr, sr, w); });
}

void AlphaRect24_Sse2(uint8_t* d, const uint8_t* s, int32_t width, int32_t height, int32_t s_pitch,
                      int32_t d_pitch) {
  WalkRows(d, s, width, height, s_pitch, d_pitch,
           [](uint8_t* dr, const uint8_t* sr, int32_t w) { AlphaRow24_Sse2(dr, sr, w); });
}

void AlphaRect32_Sse2(uint8_t* d, const uint8_t* s, int32_t width, int32_t height, int32_t s_pitch,
                      int32_t d_pitch) {
  WalkRows(d, s, width, height, s_pitch, d_pitch,
           [](uint8_t* dr, const uint8_t* sr, int32_t w) { AlphaRow32_Sse2(dr, sr, w); });
}

}  // namespace glimfx

// Night-effect rows with 128-bit SSE2 vectors. Built with -msse2 alone; only
// called once the processor is known to have SSE2. Every pixel is rewritten,
// so whole vectors are loaded and stored; the scalar row ends each row.
#include <emmintrin.h>

#include "noche_rows.h"
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

// Eight pixels (two groups of four) per step.
static inline void NocheRow555_Sse2(uint8_t* p, int32_t width) {
  const __m128i mask = _mm_set1_epi16(static_cast<short>(kHalfMask555));
  const __m128i tint = _mm_set1_epi16(static_cast<short>(kNightTint555));
  const int32_t steps = width >> 3;
  for (int32_t i = 0; i < steps; ++i, p += 16) {
    Store(p, _mm_add_epi16(_mm_and_si128(_mm_srli_epi16(Load(p), 1), mask), tint));
  }
  NocheRow555_Scalar(p, width & 7);
}

// Eight pixels (two groups) per step, with the group rule: lanes above zero as
// signed words gain 1. Clearing each field's lowest bit before the shift
// keeps the next lane's bit out, so lane-wise shifts match the 64-bit one.
static inline void NocheRow565_Sse2(uint8_t* p, int32_t width) {
  const __m128i pre_mask = _mm_set1_epi16(static_cast<short>(kNightPreMask565 & 0xFFFF));
  const __m128i zero = _mm_setzero_si128();
  const int32_t steps = width >> 3;
  for (int32_t i = 0; i < steps; ++i, p += 16) {
    const __m128i v = Load(p);
    const __m128i half = _mm_srli_epi16(_mm_and_si128(v, pre_mask), 1);
    // The compare gives -1 in the selected lanes; subtracting it adds 1.
    Store(p, _mm_sub_epi16(half, _mm_cmpgt_epi16(v, zero)));
  }
  NocheRow565_Scalar(p, width & 7);
}

// Sixteen pixels (48 bytes) per step: bytes halve alike and every third byte,
// red, gains the tint, so the three vectors take three phases of the tint.
static inline void NocheRow24_Sse2(uint8_t* p, int32_t width) {
  const __m128i mask = _mm_set1_epi8(0x7F);
  const __m128i tint0 =
      _mm_setr_epi8(0, 0, 0x20, 0, 0, 0x20, 0, 0, 0x20, 0, 0, 0x20, 0, 0, 0x20, 0);
  const __m128i tint1 =
      _mm_setr_epi8(0, 0x20, 0, 0, 0x20, 0, 0, 0x20, 0, 0, 0x20, 0, 0, 0x20, 0, 0);
  const __m128i tint2 =
      _mm_setr_epi8(0x20, 0, 0, 0x20, 0, 0, 0x20, 0, 0, 0x20, 0, 0, 0x20, 0, 0, 0x20);
  const int32_t steps = width >> 4;
  for (int32_t i = 0; i < steps; ++i, p += 48) {
    Store(p, _mm_add_epi8(_mm_and_si128(_mm_srli_epi16(Load(p), 1), mask), tint0));
    Store(p + 16, _mm_add_epi8(_mm_and_si128(_mm_srli_epi16(Load(p + 16), 1), mask), tint1));
    Store(p + 32, _mm_add_epi8(_mm_and_si128(_mm_srli_epi16(Load(p + 32), 1), mask), tint2));
  }
  NocheRow24_Scalar(p, width & 15);
}

// Four pixels per step; the top byte halves like a channel.
static inline void NocheRow32_Sse2(uint8_t* p, int32_t width) {
  const __m128i mask = _mm_set1_epi32(static_cast<int>(kNightMask8888));
  const __m128i tint = _mm_set1_epi32(static_cast<int>(kNightTint888));
  const int32_t steps = width >> 2;
  for (int32_t i = 0; i < steps; ++i, p += 16) {
    Store(p, _mm_add_epi32(_mm_and_si128(_mm_srli_epi32(Load(p), 1), mask), tint));
  }
  NocheRow32_Scalar(p, width & 3);
}

}  // namespace

// The rows are inlined into each rectangle's walk, so a row costs no call.
void NocheRect555_Sse2(uint8_t* p, int32_t width, int32_t height, int32_t pitch) {
  WalkRect<NocheRow555_Sse2>(p, width, height, pitch);
}

void NocheRect565_Sse2(uint8_t* p, int32_t width, int32_t height, int32_t pitch) {
  WalkRect<NocheRow565_Sse2>(p, width, height, pitch);
}

void NocheRect24_Sse2(uint8_t* p, int32_t width, int32_t height, int32_t pitch) {
  WalkRect<NocheRow24_Sse2>(p, width, height, pitch);
}

void NocheRect32_Sse2(uint8_t* p, int32_t width, int32_t height, int32_t pitch) {
  WalkRect<NocheRow32_Sse2>(p, width, height, pitch);
}

}  // namespace glimfx

// Night-effect rows with 256-bit AVX2 vectors. Built with -mavx2; only called
// once the processor and OS are known to support AVX2. Every pixel is
// rewritten, so whole vectors are loaded and stored; the scalar row ends each
// row.
#include <immintrin.h>

#include "noche_rows.h"
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

// Sixteen pixels (four groups of four) per step.
static inline void NocheRow555_Avx2(uint8_t* p, int32_t width) {
  const __m256i mask = _mm256_set1_epi16(static_cast<short>(kHalfMask555));
  const __m256i tint = _mm256_set1_epi16(static_cast<short>(kNightTint555));
  const int32_t steps = width >> 4;
  for (int32_t i = 0; i < steps; ++i, p += 32) {
    Store(p, _mm256_add_epi16(_mm256_and_si256(_mm256_srli_epi16(Load(p), 1), mask), tint));
  }
  NocheRow555_Scalar(p, width & 15);
}

// Sixteen pixels (four groups) per step, with the group rule: lanes above zero
// as signed words gain 1. Clearing each field's lowest bit before the shift
// keeps the next lane's bit out, so lane-wise shifts match the 64-bit one.
static inline void NocheRow565_Avx2(uint8_t* p, int32_t width) {
  const __m256i pre_mask = _mm256_set1_epi16(static_cast<short>(kNightPreMask565 & 0xFFFF));
  const __m256i zero = _mm256_setzero_si256();
  const int32_t steps = width >> 4;
  for (int32_t i = 0; i < steps; ++i, p += 32) {
    const __m256i v = Load(p);
    const __m256i half = _mm256_srli_epi16(_mm256_and_si256(v, pre_mask), 1);
    // The compare gives -1 in the selected lanes; subtracting it adds 1.
    Store(p, _mm256_sub_epi16(half, _mm256_cmpgt_epi16(v, zero)));
  }
  NocheRow565_Scalar(p, width & 15);
}

// Thirty-two pixels (96 bytes) per step: bytes halve alike and every third
// byte, red, gains the tint, so the three vectors take three phases of it.
static inline void NocheRow24_Avx2(uint8_t* p, int32_t width) {
  const __m256i mask = _mm256_set1_epi8(0x7F);
  // Byte i of the step is red when i % 3 == 2.
  const __m256i tint0 =
      _mm256_setr_epi8(0, 0, 0x20, 0, 0, 0x20, 0, 0, 0x20, 0, 0, 0x20, 0, 0, 0x20, 0, 0, 0x20, 0, 0,
                       0x20, 0, 0, 0x20, 0, 0, 0x20, 0, 0, 0x20, 0, 0);
  const __m256i tint1 =
      _mm256_setr_epi8(0x20, 0, 0, 0x20, 0, 0, 0x20, 0, 0, 0x20, 0, 0, 0x20, 0, 0, 0x20, 0, 0, 0x20,
                       0, 0, 0x20, 0, 0, 0x20, 0, 0, 0x20, 0, 0, 0x20, 0);
  const __m256i tint2 =
      _mm256_setr_epi8(0, 0x20, 0, 0, 0x20, 0, 0, 0x20, 0, 0, 0x20, 0, 0, 0x20, 0, 0, 0x20, 0, 0,
                       0x20, 0, 0, 0x20, 0, 0, 0x20, 0, 0, 0x20, 0, 0, 0x20);
  const int32_t steps = width >> 5;
  for (int32_t i = 0; i < steps; ++i, p += 96) {
    Store(p, _mm256_add_epi8(_mm256_and_si256(_mm256_srli_epi16(Load(p), 1), mask), tint0));
    Store(p + 32,
          _mm256_add_epi8(_mm256_and_si256(_mm256_srli_epi16(Load(p + 32), 1), mask), tint1));
    Store(p + 64,
          _mm256_add_epi8(_mm256_and_si256(_mm256_srli_epi16(Load(p + 64), 1), mask), tint2));
  }
  NocheRow24_Scalar(p, width & 31);
}

// Eight pixels per step; the top byte halves like a channel.
static inline void NocheRow32_Avx2(uint8_t* p, int32_t width) {
  const __m256i mask = _mm256_set1_epi32(static_cast<int>(kNightMask8888));
  const __m256i tint = _mm256_set1_epi32(static_cast<int>(kNightTint888));
  const int32_t steps = width >> 3;
  for (int32_t i = 0; i < steps; ++i, p += 32) {
    Store(p, _mm256_add_epi32(_mm256_and_si256(_mm256_srli_epi32(Load(p), 1), mask), tint));
  }
  NocheRow32_Scalar(p, width & 7);
}

}  // namespace

// The rows are inlined into each rectangle's walk, so a row costs no call.
void NocheRect555_Avx2(uint8_t* p, int32_t width, int32_t height, int32_t pitch) {
  WalkRect<NocheRow555_Avx2>(p, width, height, pitch);
}

void NocheRect565_Avx2(uint8_t* p, int32_t width, int32_t height, int32_t pitch) {
  WalkRect<NocheRow565_Avx2>(p, width, height, pitch);
}

void NocheRect24_Avx2(uint8_t* p, int32_t width, int32_t height, int32_t pitch) {
  WalkRect<NocheRow24_Avx2>(p, width, height, pitch);
}

void NocheRect32_Avx2(uint8_t* p, int32_t width, int32_t height, int32_t pitch) {
  WalkRect<NocheRow32_Avx2>(p, width, height, pitch);
}

}  // namespace glimfx

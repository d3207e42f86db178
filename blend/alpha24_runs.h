// The 24-bit half-blend of sixteen pixels (48 bytes) holding key and drawn
// pixels, shared by the vector rows. Masked moves work on 4-byte lanes, which
// 3-byte pixels do not fill, so the drawn runs are copied out whole, blended
// as vectors and copied back: key pixels' destination bytes are neither read
// nor written.
//
// Static inline only: included by sources built with different vector flags.
#ifndef GLIMFX_BLEND_ALPHA24_RUNS_H_
#define GLIMFX_BLEND_ALPHA24_RUNS_H_

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

namespace glimfx {

// `keys` has bit 3i set when pixel i of the sixteen is a key pixel.
static inline void AlphaMixed24(uint8_t* d, const uint8_t* s, uint64_t keys) {
  uint32_t drawn = 0;
  for (int i = 0; i < 16; ++i) drawn |= static_cast<uint32_t>((keys >> (3 * i)) & 1) << i;
  drawn ^= 0xFFFF;
  alignas(16) uint8_t buf[48] = {};
  uint32_t runs = drawn;
  while (runs != 0) {
    const int first = __builtin_ctz(runs);
    const int end = first + __builtin_ctz(~(runs >> first));
    std::memcpy(buf + 3 * first, d + 3 * first, static_cast<size_t>(3 * (end - first)));
    runs &= ~((2u << (end - 1)) - 1);
  }
  const __m128i mask = _mm_set1_epi8(0x7F);
  for (int k = 0; k < 48; k += 16) {
    const __m128i dv = _mm_load_si128(reinterpret_cast<const __m128i*>(buf + k));
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + k));
    _mm_store_si128(reinterpret_cast<__m128i*>(buf + k),
                    _mm_add_epi8(_mm_and_si128(_mm_srli_epi16(dv, 1), mask),
                                 _mm_and_si128(_mm_srli_epi16(sv, 1), mask)));
  }
  runs = drawn;
  while (runs != 0) {
    const int first = __builtin_ctz(runs);
    const int end = first + __builtin_ctz(~(runs >> first));
    std::memcpy(d + 3 * first, buf + 3 * first, static_cast<size_t>(3 * (end - first)));
    runs &= ~((2u << (end - 1)) - 1);
  }
}

}  // namespace glimfx

#endif  // GLIMFX_BLEND_ALPHA24_RUNS_H_

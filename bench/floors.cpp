#include "floors.h"

#include <immintrin.h>

namespace glimfx_bench {
namespace {

__attribute__((target("avx2"))) void TriadAvx2(uint8_t* d, const uint8_t* s, size_t n) {
  size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_avg_epu8(a, b));
  }
  for (; i < n; ++i) d[i] = static_cast<uint8_t>((d[i] + s[i] + 1) >> 1);
}

__attribute__((target("avx2"))) void InPlaceAvx2(uint8_t* p, size_t n) {
  const __m256i k = _mm256_set1_epi8(0x20);
  size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i), _mm256_avg_epu8(a, k));
  }
  for (; i < n; ++i) p[i] = static_cast<uint8_t>((p[i] + 0x21) >> 1);
}

}  // namespace

void Triad(uint8_t* dst, const uint8_t* src, size_t bytes) {
  if (__builtin_cpu_supports("avx2")) {
    TriadAvx2(dst, src, bytes);
    return;
  }
  for (size_t i = 0; i < bytes; ++i) dst[i] = static_cast<uint8_t>((dst[i] + src[i] + 1) >> 1);
}

void InPlace(uint8_t* p, size_t bytes) {
  if (__builtin_cpu_supports("avx2")) {
    InPlaceAvx2(p, bytes);
    return;
  }
  for (size_t i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>((p[i] + 0x21) >> 1);
}

}  // namespace glimfx_bench

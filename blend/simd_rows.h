// Vector paths, one source per instruction set, each built with only its own
// flags. Each walks a whole rectangle (rows as in row_walk.h) with a row that
// covers whole vector steps counted from the row's first pixel and ends the
// row with the scalar row (alpha_rows.h, noche_rows.h), so pairs and groups
// keep their place and nothing past the row's last pixel is read or written.
// The caller has checked the format and that width and height are positive.
//
// Declarations only: this header is included by sources built with -mavx2
// and must not define anything with external linkage.
#ifndef GLIMFX_BLEND_SIMD_ROWS_H_
#define GLIMFX_BLEND_SIMD_ROWS_H_

#include <cstdint>

namespace glimfx {

#if defined(GLIMFX_HAVE_SSE2)
void AlphaRect555_Sse2(uint8_t* d, const uint8_t* s, int32_t width, int32_t height, int32_t s_pitch,
                       int32_t d_pitch);
void AlphaRect565_Sse2(uint8_t* d, const uint8_t* s, int32_t width, int32_t height, int32_t s_pitch,
                       int32_t d_pitch);
void AlphaRect24_Sse2(uint8_t* d, const uint8_t* s, int32_t width, int32_t height, int32_t s_pitch,
                      int32_t d_pitch);
void AlphaRect32_Sse2(uint8_t* d, const uint8_t* s, int32_t width, int32_t height, int32_t s_pitch,
                      int32_t d_pitch);
void NocheRect555_Sse2(uint8_t* p, int32_t width, int32_t height, int32_t pitch);
void NocheRect565_Sse2(uint8_t* p, int32_t width, int32_t height, int32_t pitch);
void NocheRect24_Sse2(uint8_t* p, int32_t width, int32_t height, int32_t pitch);
void NocheRect32_Sse2(uint8_t* p, int32_t width, int32_t height, int32_t pitch);
#endif

#if defined(GLIMFX_HAVE_AVX2)
void AlphaRect555_Avx2(uint8_t* d, const uint8_t* s, int32_t width, int32_t height, int32_t s_pitch,
                       int32_t d_pitch);
void AlphaRect565_Avx2(uint8_t* d, const uint8_t* s, int32_t width, int32_t height, int32_t s_pitch,
                       int32_t d_pitch);
void AlphaRect24_Avx2(uint8_t* d, const uint8_t* s, int32_t width, int32_t height, int32_t s_pitch,
                      int32_t d_pitch);
void AlphaRect32_Avx2(uint8_t* d, const uint8_t* s, int32_t width, int32_t height, int32_t s_pitch,
                      int32_t d_pitch);
void NocheRect555_Avx2(uint8_t* p, int32_t width, int32_t height, int32_t pitch);
void NocheRect565_Avx2(uint8_t* p, int32_t width, int32_t height, int32_t pitch);
void NocheRect24_Avx2(uint8_t* p, int32_t width, int32_t height, int32_t pitch);
void NocheRect32_Avx2(uint8_t* p, int32_t width, int32_t height, int32_t pitch);
#endif

}  // namespace glimfx

#endif  // GLIMFX_BLEND_SIMD_ROWS_H_

// Vector rows, one source per instruction set, each built with only its own
// flags. Same contract as the scalar rows (alpha_rows.h, noche_rows.h): each
// treats `width` pixels from the row start it is given. Each covers whole
// vector steps counted from the row's first pixel and ends the row with the
// scalar row, so pairs and groups keep their place and nothing past the row's
// last pixel is read or written.
//
// Declarations only: this header is included by sources built with -mavx2
// and must not define anything with external linkage.
#ifndef GLIMFX_BLEND_SIMD_ROWS_H_
#define GLIMFX_BLEND_SIMD_ROWS_H_

#include <cstdint>

namespace glimfx {

#if defined(GLIMFX_HAVE_SSE2)
void AlphaRow555_Sse2(uint8_t* d, const uint8_t* s, int32_t width);
void AlphaRow565_Sse2(uint8_t* d, const uint8_t* s, int32_t width);
void AlphaRow24_Sse2(uint8_t* d, const uint8_t* s, int32_t width);
void AlphaRow32_Sse2(uint8_t* d, const uint8_t* s, int32_t width);
void NocheRow555_Sse2(uint8_t* p, int32_t width);
void NocheRow565_Sse2(uint8_t* p, int32_t width);
void NocheRow24_Sse2(uint8_t* p, int32_t width);
void NocheRow32_Sse2(uint8_t* p, int32_t width);
#endif

#if defined(GLIMFX_HAVE_AVX2)
void AlphaRow555_Avx2(uint8_t* d, const uint8_t* s, int32_t width);
void AlphaRow565_Avx2(uint8_t* d, const uint8_t* s, int32_t width);
void AlphaRow24_Avx2(uint8_t* d, const uint8_t* s, int32_t width);
void AlphaRow32_Avx2(uint8_t* d, const uint8_t* s, int32_t width);
void NocheRow555_Avx2(uint8_t* p, int32_t width);
void NocheRow565_Avx2(uint8_t* p, int32_t width);
void NocheRow24_Avx2(uint8_t* p, int32_t width);
void NocheRow32_Avx2(uint8_t* p, int32_t width);
#endif

}  // namespace glimfx

#endif  // GLIMFX_BLEND_SIMD_ROWS_H_

// Both routines written out pixel by pixel as they are stated, with nothing
// done for speed. Timed beside the scalar path: the scalar rows, which the
// 32-bit DLL runs without SSE2, must not fall behind it.
#ifndef GLIMFX_BENCH_PLAIN_H_
#define GLIMFX_BENCH_PLAIN_H_

#include <cstdint>

namespace glimfx_bench {

void PlainBlend(uint8_t* dest, const uint8_t* src, int32_t width, int32_t height, int32_t src_pitch,
                int32_t dest_pitch, uint32_t format);
void PlainNight(uint8_t* surface, int32_t width, int32_t height, int32_t pitch, uint32_t format);

}  // namespace glimfx_bench

#endif  // GLIMFX_BENCH_PLAIN_H_

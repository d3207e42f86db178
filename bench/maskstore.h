// A straightforward AVX2 half-blend, timed as a reference contender for the
// 16- and 32-bit layouts: 8 lanes (pairs or pixels) a step; a step of key
// lanes only is skipped, one without key lanes is loaded and stored whole,
// and a mixed one moves only its drawn lanes with masked loads and stores.
#ifndef GLIMFX_BENCH_MASKSTORE_H_
#define GLIMFX_BENCH_MASKSTORE_H_

#include <cstdint>

namespace glimfx_bench {

// Whether the processor runs it.
bool MaskstoreRuns();
// Whether it handles `format` (5-5-5, 5-6-5 and 32-bit).
bool MaskstoreHandles(uint32_t format);
void MaskstoreBlend(uint8_t* dest, const uint8_t* src, int32_t width, int32_t height,
                    int32_t src_pitch, int32_t dest_pitch, uint32_t format);

}  // namespace glimfx_bench

#endif  // GLIMFX_BENCH_MASKSTORE_H_

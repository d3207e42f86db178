// Internal entry points behind the exports. They take the instruction set as
// an argument so tests and benchmarks can force every path; the exports pass
// the best one the machine has.
#ifndef GLIMFX_BLEND_BLITS_H_
#define GLIMFX_BLEND_BLITS_H_

#include <cstdint>

#include "isa.h"

namespace glimfx {

// Falls back to the next slower path when `isa` is not built or not usable.
int32_t BltAlpha(Isa isa, uint8_t* dest, const uint8_t* src, int32_t width, int32_t height,
                 int32_t src_pitch, int32_t dest_pitch, uint32_t format);

int32_t BltNoche(Isa isa, uint8_t* surface, int32_t width, int32_t height, int32_t pitch,
                 uint32_t format);

}  // namespace glimfx

#endif  // GLIMFX_BLEND_BLITS_H_

// Internal entry points behind the exports, the instruction sets, and the
// tables of rectangle functions the exports choose from. The entries take the
// instruction set as an argument so tests and benchmarks can force every
// path; the exports pass the best one the machine has (dispatch.cpp).
//
// Declarations only: sources built with vector flags include this header.
#ifndef GLIMFX_BLEND_PATHS_H_
#define GLIMFX_BLEND_PATHS_H_

#include <cstdint>

#include "pixel_format.h"

namespace glimfx {

// kAvx512: AVX-512 BW and VL, used with 256-bit vectors.
enum class Isa { kScalar = 0, kSse2 = 1, kAvx2 = 2, kAvx512 = 3 };

// The best instruction set this processor and OS support and this build has
// rows for. Cheap enough to call on every blit; keeps no state of its own.
Isa DetectIsa();
// Whether a path can run here (the scalar one always can).
bool IsaSupported(Isa isa);
const char* IsaName(Isa isa);

// Falls back to the best usable path when `isa` is not built or not usable.
int32_t Blend(Isa isa, uint8_t* dest, const uint8_t* src, int32_t width, int32_t height,
              int32_t src_pitch, int32_t dest_pitch, uint32_t format);
int32_t Night(Isa isa, uint8_t* surface, int32_t width, int32_t height, int32_t pitch,
              uint32_t format);

// Whether the night effect walks the rectangle's rows as one long row.
bool NightRowsJoin(int32_t width, int32_t height, int32_t pitch, uint32_t format);

// A whole rectangle of one layout. The caller has checked the format and that
// width and height are positive. Each row is done from its first pixel, so
// pairs and groups keep their place, and nothing past its last pixel is read
// or written.
using BlendRect = void (*)(uint8_t* d, const uint8_t* s, int32_t width, int32_t height,
                           int32_t s_pitch, int32_t d_pitch);
using NightRect = void (*)(uint8_t* p, int32_t width, int32_t height, int32_t pitch);

// One instruction set's rectangles, indexed by LayoutIndex().
struct PathTable {
  BlendRect blend[kLayoutCount];
  NightRect night[kLayoutCount];
};

// Each table lives in the source built for its instruction set.
extern const PathTable kScalarPaths;
#if defined(GLIMFX_VECTOR_PATHS)
extern const PathTable kSse2Paths;
extern const PathTable kAvx2Paths;
extern const PathTable kAvx512Paths;
#endif

// Indexed by Isa; an instruction set this build has no rows for maps to the
// scalar table.
extern const PathTable* const kPathsByIsa[4];

}  // namespace glimfx

#endif  // GLIMFX_BLEND_PATHS_H_

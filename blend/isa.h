// Instruction sets a routine can be asked to use. The choice is made per call
// by the exports and passed down, so tests and benchmarks can force a path.
#ifndef GLIMFX_BLEND_ISA_H_
#define GLIMFX_BLEND_ISA_H_

namespace glimfx {

// kAvx512: AVX-512 BW and VL, used with 256-bit vectors.
enum class Isa { kScalar = 0, kSse2 = 1, kAvx2 = 2, kAvx512 = 3 };

// The best instruction set this processor and OS support and this build has
// rows for. Cheap enough to call on every blit; keeps no state of its own.
Isa DetectIsa();

// Whether a path can run here (the scalar one always can).
bool IsaSupported(Isa isa);

const char* IsaName(Isa isa);

}  // namespace glimfx

#endif  // GLIMFX_BLEND_ISA_H_

// The dispatch: what the processor and OS support, and the path tables the
// exports index by instruction set, the scalar one among them. Compiled
// without vector flags: it must run on any processor the build targets, and
// the scalar path is what every processor can run.
#include "half_blend_rows.h"
#include "night_rows.h"
#include "paths.h"
#include "row_loops.h"

namespace glimfx {

// Only x86 builds carry vector rows (all three instruction sets), and only
// there can the processor be asked.
#if defined(GLIMFX_VECTOR_PATHS)
#define GLIMFX_CPU_SUPPORTS(feature) __builtin_cpu_supports(feature)
#else
#define GLIMFX_CPU_SUPPORTS(feature) false
#endif

bool IsaSupported(Isa isa) {
  switch (isa) {
    case Isa::kScalar:
      return true;
    case Isa::kSse2:
      return GLIMFX_CPU_SUPPORTS("sse2");
    case Isa::kAvx2:
      // Also checks that the OS saves the AVX state (XGETBV).
      return GLIMFX_CPU_SUPPORTS("avx2");
    case Isa::kAvx512:
      // Also checks that the OS saves the mask and upper vector state.
      return GLIMFX_CPU_SUPPORTS("avx2") && GLIMFX_CPU_SUPPORTS("avx512bw") &&
             GLIMFX_CPU_SUPPORTS("avx512vl");
  }
  return false;
}

Isa DetectIsa() {
  if (IsaSupported(Isa::kAvx512)) return Isa::kAvx512;
  if (IsaSupported(Isa::kAvx2)) return Isa::kAvx2;
  if (IsaSupported(Isa::kSse2)) return Isa::kSse2;
  return Isa::kScalar;
}

const char* IsaName(Isa isa) {
  static const char* const kNames[] = {"scalar", "sse2", "avx2", "avx512"};
  return kNames[static_cast<int>(isa)];
}

const PathTable kScalarPaths = {
    {WalkRect<BlendRow555_Scalar>, WalkRect<BlendRow565_Scalar>, WalkRect<BlendRow24_Scalar>,
     WalkRect<BlendRow32_Scalar>},
    {WalkRect<NightRow555_Scalar>, WalkRect<NightRow565_Scalar>, WalkRect<NightRow24_Scalar>,
     WalkRect<NightRow32_Scalar>},
};

static_assert(static_cast<int>(Isa::kScalar) == 0 && static_cast<int>(Isa::kSse2) == 1 &&
                  static_cast<int>(Isa::kAvx2) == 2 && static_cast<int>(Isa::kAvx512) == 3,
              "kPathsByIsa is indexed by Isa");

#if defined(GLIMFX_VECTOR_PATHS)
const PathTable* const kPathsByIsa[4] = {&kScalarPaths, &kSse2Paths, &kAvx2Paths, &kAvx512Paths};
#else
const PathTable* const kPathsByIsa[4] = {&kScalarPaths, &kScalarPaths, &kScalarPaths,
                                         &kScalarPaths};
#endif

}  // namespace glimfx

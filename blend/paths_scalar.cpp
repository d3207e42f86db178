// The scalar path, which every build has and every processor runs, and the
// lookup of a path by instruction set. Compiled without vector flags.
#include "blend_rows.h"
#include "night_rows.h"
#include "paths.h"
#include "rect_walk.h"

namespace glimfx {

const PathTable kScalarPaths = {
    {WalkRect<BlendRow555_Scalar>, WalkRect<BlendRow565_Scalar>, WalkRect<BlendRow24_Scalar>,
     WalkRect<BlendRow32_Scalar>},
    {WalkRect<NightRow555_Scalar>, WalkRect<NightRow565_Scalar>, WalkRect<NightRow24_Scalar>,
     WalkRect<NightRow32_Scalar>},
};

static_assert(static_cast<int>(Isa::kScalar) == 0 && static_cast<int>(Isa::kSse2) == 1 &&
                  static_cast<int>(Isa::kAvx2) == 2 && static_cast<int>(Isa::kAvx512) == 3,
              "kPathsByIsa is indexed by Isa");

const PathTable* const kPathsByIsa[4] = {
    &kScalarPaths,
#if defined(GLIMFX_HAVE_SSE2)
    &kSse2Paths,
#else
    &kScalarPaths,
#endif
#if defined(GLIMFX_HAVE_AVX2)
    &kAvx2Paths,
#else
    &kScalarPaths,
#endif
#if defined(GLIMFX_HAVE_AVX512)
    &kAvx512Paths,
#else
    &kScalarPaths,
#endif
};

}  // namespace glimfx

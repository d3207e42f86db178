// The AVX2 path (avx2_ops.h). Built with -mavx2; only chosen once the
// processor and OS are known to support AVX2. Only the table has external
// linkage, so no other caller picks up AVX2 code.
#include "avx2_ops.h"
#include "paths.h"
#include "vector_paths.h"

namespace glimfx {

const PathTable kAvx2Paths = VectorPaths<Avx2Ops>();

}  // namespace glimfx

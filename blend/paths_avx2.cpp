// The AVX2 path table (ops_avx2.h). Built with -mavx2; only chosen once the
// processor and OS are known to support AVX2. Only the table has external
// linkage, so no other caller picks up AVX2 code.
#include "isa_paths.h"
#include "ops_avx2.h"
#include "paths.h"

namespace glimfx {

const PathTable kAvx2Paths = IsaPaths<Avx2Ops>();

}  // namespace glimfx

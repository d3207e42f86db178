// The AVX-512 path table (ops_avx512.h). Built with -mavx512bw -mavx512vl,
// kept to 256-bit vectors; only chosen once the processor and OS are known to
// support both. Only the table has external linkage.
#include "isa_paths.h"
#include "ops_avx512.h"
#include "paths.h"

namespace glimfx {

const PathTable kAvx512Paths = IsaPaths<Avx512Ops>();

}  // namespace glimfx

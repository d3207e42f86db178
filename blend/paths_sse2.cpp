// The SSE2 path table (ops_sse2.h). Built with -msse2 alone; only chosen
// once the processor is known to have SSE2.
#include "isa_paths.h"
#include "ops_sse2.h"
#include "paths.h"

namespace glimfx {

const PathTable kSse2Paths = IsaPaths<Sse2Ops>();

}  // namespace glimfx

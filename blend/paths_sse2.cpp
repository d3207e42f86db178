// The SSE2 path: 128-bit vectors (sse2_ops.h), with 64-bit moves for runs of
// half a vector. Built with -msse2 alone; only chosen once the processor is
// known to have SSE2.
#include <emmintrin.h>

#include "paths.h"
#include "sse2_ops.h"
#include "vector_paths.h"

namespace glimfx {
namespace {

struct Sse2Path : Sse2Ops {
  using Half = Sse2LowHalf;
};

}  // namespace

const PathTable kSse2Paths = VectorPaths<Sse2Path>();

}  // namespace glimfx

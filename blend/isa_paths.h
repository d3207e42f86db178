// The path table of one instruction set, built from its operations `V` (see
// isa_ops.h). Instantiated once in each instruction set's source.
#ifndef GLIMFX_BLEND_ISA_PATHS_H_
#define GLIMFX_BLEND_ISA_PATHS_H_

#include "half_blend_kernels.h"
#include "night_kernels.h"
#include "paths.h"
#include "row_loops.h"

namespace glimfx {
namespace {

template <class V>
constexpr PathTable IsaPaths() {
  return PathTable{
      {VectorBlendRect<V, Pairs555>, VectorBlendRect<V, Pairs565>, VectorBlendRect<V, Pixels24>,
       VectorBlendRect<V, Pixels32>},
      {WalkRect<NightRow555<V>>, WalkRect<NightRow565<V>>, WalkRect<NightRow24<V>>,
       WalkRect<NightRow32<V>>},
  };
}

}  // namespace
}  // namespace glimfx

#endif  // GLIMFX_BLEND_ISA_PATHS_H_

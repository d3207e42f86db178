// The path table of one instruction set, built from its operations `V` (see
// isa_ops.h): every rectangle walks its rows with the vector row inlined, so
// a row costs no call. Instantiated once in each instruction set's source.
//
// Included by sources built with different vector flags: everything here is
// in an anonymous namespace, so each source gets its own copy.
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
      {BlendRect555<V>, BlendRect565<V>, BlendRect24<V>, BlendRect32<V>},
      {WalkRect<NightRow555<V>>, WalkRect<NightRow565<V>>, WalkRect<NightRow24<V>>,
       WalkRect<NightRow32<V>>},
  };
}

}  // namespace
}  // namespace glimfx

#endif  // GLIMFX_BLEND_ISA_PATHS_H_

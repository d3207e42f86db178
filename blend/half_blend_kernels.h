// The half blend's vector kernels and the one place that chooses among them,
// per call, by the instruction set's moves, the unit and the row's width:
//
//   kernel                    instruction sets    units            rows
//   BlendMaskedRect<1>, <2>   AVX2, AVX-512       16-bit pairs,    one, two whole vectors
//   BlendMaskedRect<0>                            32-bit pixels    more whole vectors
//   BlendMaskedRect<-1>                                            any other, 2 MiB and up
//   the scalar rows                                                less than a vector
//   BlendMaskedRect24<1>, <2> AVX-512             24-bit pixels    33-64, 65-95 bytes
//   BlendMaskedRect24<0>                                           any other
//   BlendRunRect              SSE2: every unit; AVX2: 24-bit pixels; 16 bytes and more
//   the scalar rows                                                less than 16 bytes
#ifndef GLIMFX_BLEND_HALF_BLEND_KERNELS_H_
#define GLIMFX_BLEND_HALF_BLEND_KERNELS_H_

#include <cstdint>

#include "half_blend_masked.h"
#include "half_blend_masked24.h"
#include "half_blend_runs.h"
#include "half_blend_units.h"
#include "paths.h"

namespace glimfx {
namespace {

template <class V, class U>
void VectorBlendRect(uint8_t* d, const uint8_t* s, int32_t width, int32_t height, int32_t s_pitch,
                     int32_t d_pitch) {
  // Inlined with a known kernel, so each call below is a direct jump.
  const auto run = [&](BlendRect kernel) { kernel(d, s, width, height, s_pitch, d_pitch); };
  if constexpr (U::kBytes == 3 && V::kMaskedBytes) {
    const int32_t row = 3 * width;
    if (row > 64 && row < kStep24) return run(BlendMaskedRect24<V, 2>);
    if (row > 32 && row < kStep24) return run(BlendMaskedRect24<V, 1>);
    return run(BlendMaskedRect24<V, 0>);
  } else if constexpr (U::kBytes == 4 && V::kMaskedLanes) {
    constexpr int32_t k = V::kBytes / 4;
    const int32_t units = U::Units(width);
    if (units < k) return run(kScalarPaths.blend[U::kLayout]);
    const bool past_caches = int64_t{4} * units * height >= kPrefetchRectBytes;
    if (units * U::kPixels != width || units % k != 0 || past_caches) {
      return run(BlendMaskedRect<V, U, -1>);
    }
    if (units == k) return run(BlendMaskedRect<V, U, 1>);
    if (units == 2 * k) return run(BlendMaskedRect<V, U, 2>);
    return run(BlendMaskedRect<V, U, 0>);
  }
  if (U::kBytes * U::Units(width) < 16) return run(kScalarPaths.blend[U::kLayout]);
  run(BlendRunRect<V, U>);
}

}  // namespace
}  // namespace glimfx

#endif  // GLIMFX_BLEND_HALF_BLEND_KERNELS_H_

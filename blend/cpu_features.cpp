// Compiled without SIMD flags: it must run on any processor the build targets.
#include "isa.h"

namespace glimfx {

bool IsaSupported(Isa isa) {
  switch (isa) {
    case Isa::kScalar:
      return true;
    case Isa::kSse2:
#if defined(GLIMFX_HAVE_SSE2)
      return __builtin_cpu_supports("sse2");
#else
      return false;
#endif
    case Isa::kAvx2:
#if defined(GLIMFX_HAVE_AVX2)
      // Also checks that the OS saves the AVX state (XGETBV).
      return __builtin_cpu_supports("avx2");
#else
      return false;
#endif
  }
  return false;
}

Isa DetectIsa() {
  if (IsaSupported(Isa::kAvx2)) return Isa::kAvx2;
  if (IsaSupported(Isa::kSse2)) return Isa::kSse2;
  return Isa::kScalar;
}

const char* IsaName(Isa isa) {
  switch (isa) {
    case Isa::kScalar:
      return "scalar";
    case Isa::kSse2:
      return "sse2";
    case Isa::kAvx2:
      return "avx2";
  }
  return "?";
}

}  // namespace glimfx

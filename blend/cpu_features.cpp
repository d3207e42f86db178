// Compiled without SIMD flags: it must run on any processor the build targets.
#include "isa.h"

namespace glimfx {

// Only x86 builds carry vector rows, and only there can the processor be asked.
#if defined(GLIMFX_HAVE_SSE2) || defined(GLIMFX_HAVE_AVX2) || defined(GLIMFX_HAVE_AVX512)
#define GLIMFX_CPU_SUPPORTS(feature) __builtin_cpu_supports(feature)
#else
#define GLIMFX_CPU_SUPPORTS(feature) false
#endif

#if defined(GLIMFX_HAVE_SSE2)
constexpr bool kBuiltSse2 = true;
#else
constexpr bool kBuiltSse2 = false;
#endif
#if defined(GLIMFX_HAVE_AVX2)
constexpr bool kBuiltAvx2 = true;
#else
constexpr bool kBuiltAvx2 = false;
#endif
#if defined(GLIMFX_HAVE_AVX512)
constexpr bool kBuiltAvx512 = true;
#else
constexpr bool kBuiltAvx512 = false;
#endif

bool IsaSupported(Isa isa) {
  switch (isa) {
    case Isa::kScalar:
      return true;
    case Isa::kSse2:
      return kBuiltSse2 && GLIMFX_CPU_SUPPORTS("sse2");
    case Isa::kAvx2:
      // Also checks that the OS saves the AVX state (XGETBV).
      return kBuiltAvx2 && GLIMFX_CPU_SUPPORTS("avx2");
    case Isa::kAvx512:
      // Also checks that the OS saves the mask and upper vector state.
      return kBuiltAvx512 && GLIMFX_CPU_SUPPORTS("avx2") && GLIMFX_CPU_SUPPORTS("avx512bw") &&
             GLIMFX_CPU_SUPPORTS("avx512vl");
  }
  return false;
}

Isa DetectIsa() {
  if (IsaSupported(Isa::kAvx512)) return Isa::kAvx512;
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
    case Isa::kAvx512:
      return "avx512";
  }
  return "?";
}

}  // namespace glimfx

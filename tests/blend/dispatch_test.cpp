// The path the exports take is the best one the processor and the OS allow,
// read here straight from CPUID and XGETBV. Run on emulated processors too
// (see CMakeLists.txt), where a wrong choice would not crash: an emulator
// executes AVX2 whatever model it shows.
#include <gtest/gtest.h>

#include <string>

#include "paths.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>

namespace glimfx_test {
namespace {

struct CpuReading {
  bool sse2 = false;
  bool avx2 = false;
  bool avx512 = false;  // BW and VL
};

CpuReading ReadCpu() {
  CpuReading r;
  unsigned eax, ebx, ecx, edx;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return r;  // no CPUID: a 486 or older
  r.sse2 = (edx >> 26) & 1;
  const bool osxsave = (ecx >> 27) & 1;
  const bool avx = (ecx >> 28) & 1;
  if (!osxsave || !avx) return r;
  unsigned xcr0_low, xcr0_high;
  __asm__ volatile("xgetbv" : "=a"(xcr0_low), "=d"(xcr0_high) : "c"(0));
  const bool os_saves_ymm = (xcr0_low & 6) == 6;  // SSE and AVX state
  if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) return r;
  r.avx2 = os_saves_ymm && ((ebx >> 5) & 1);
  const bool os_saves_zmm = (xcr0_low & 0xE6) == 0xE6;  // also mask and upper vector state
  const bool f = (ebx >> 16) & 1, bw = (ebx >> 30) & 1, vl = (ebx >> 31) & 1;
  r.avx512 = r.avx2 && os_saves_zmm && f && bw && vl;
  return r;
}

TEST(Dispatch, ExportsTakeTheBestPathTheProcessorAllows) {
  const CpuReading cpu = ReadCpu();
  EXPECT_EQ(cpu.sse2, glimfx::IsaSupported(glimfx::Isa::kSse2));
  EXPECT_EQ(cpu.avx2, glimfx::IsaSupported(glimfx::Isa::kAvx2));
  EXPECT_EQ(cpu.avx512, glimfx::IsaSupported(glimfx::Isa::kAvx512));
  const glimfx::Isa expected = cpu.avx512 ? glimfx::Isa::kAvx512
                               : cpu.avx2 ? glimfx::Isa::kAvx2
                               : cpu.sse2 ? glimfx::Isa::kSse2
                                          : glimfx::Isa::kScalar;
  EXPECT_EQ(glimfx::IsaName(expected), std::string(glimfx::IsaName(glimfx::DetectIsa())))
      << "CPUID reports sse2=" << cpu.sse2 << " avx2=" << cpu.avx2 << " avx512=" << cpu.avx512;
}

}  // namespace
}  // namespace glimfx_test
#endif

// Every path of both routines entered at each stack residue modulo 16: a
// 32-bit host promises only 4-byte alignment, and the vector rows must not
// count on more (the exports reach only this processor's best path).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "isa_param.h"
#include "paths.h"
#include "stack_probe.h"

namespace glimfx_test {
namespace {

#ifdef GLIMFX_HAVE_STACK_PROBE

class StackResidue : public PathTest {};

TEST_P(StackResidue, EveryPathWorksAtEveryStackResidue) {
  // Internal entry points leave their arguments (the path and the routine's
  // own) to the caller.
  constexpr int32_t kBlendArgumentBytes = 4 * 8;
  constexpr int32_t kNightArgumentBytes = 4 * 6;
  const uint32_t forced = static_cast<uint32_t>(isa());
  for (const int32_t residue : kEntryResidues) {
    StackLog log;
    const Target probed{path() + " entered at stack residue " + std::to_string(residue),
                        ProbedBlend(reinterpret_cast<const void*>(&glimfx::Blend), {forced},
                                    residue, -kBlendArgumentBytes, &log),
                        ProbedNight(reinterpret_cast<const void*>(&glimfx::Night), {forced},
                                    residue, -kNightArgumentBytes, &log)};
    const std::string failure = CheckThroughProbe(probed, log, 0x5A11 + residue);
    EXPECT_TRUE(failure.empty()) << failure;
  }
}

INSTANTIATE_TEST_SUITE_P(AllPaths, StackResidue, ::testing::ValuesIn(kAllIsas), IsaParamName);

#endif

}  // namespace
}  // namespace glimfx_test

// Every test here runs once per instruction set; a path this build or this
// processor cannot run shows as a skipped test, never as a silent pass.
#ifndef GLIMFX_TESTS_BLEND_ISA_PARAM_H_
#define GLIMFX_TESTS_BLEND_ISA_PARAM_H_

#include <gtest/gtest.h>

#include <string>

#include "behaviour.h"
#include "isa.h"
#include "paths.h"

namespace glimfx_test {

// Extend with every value of glimfx::Isa.
constexpr glimfx::Isa kAllIsas[] = {glimfx::Isa::kScalar, glimfx::Isa::kSse2, glimfx::Isa::kAvx2};

inline std::string IsaParamName(const ::testing::TestParamInfo<glimfx::Isa>& info) {
  return glimfx::IsaName(info.param);
}

class PathTest : public ::testing::TestWithParam<glimfx::Isa> {
 protected:
  void SetUp() override {
    if (!glimfx::IsaSupported(GetParam())) {
      GTEST_SKIP() << "path " << glimfx::IsaName(GetParam())
                   << " is not built in or not supported by this processor";
    }
  }
  glimfx::Isa isa() const { return GetParam(); }
  std::string path() const { return glimfx::IsaName(GetParam()); }

  BlendFn Blend() const {
    const glimfx::Isa forced = GetParam();
    return [forced](uint8_t* dest, const uint8_t* src, int32_t width, int32_t height,
                    int32_t src_pitch, int32_t dest_pitch, uint32_t format) {
      return glimfx::Blend(forced, dest, src, width, height, src_pitch, dest_pitch, format);
    };
  }
  NightFn Night() const {
    const glimfx::Isa forced = GetParam();
    return
        [forced](uint8_t* surface, int32_t width, int32_t height, int32_t pitch, uint32_t format) {
          return glimfx::Night(forced, surface, width, height, pitch, format);
        };
  }
};

}  // namespace glimfx_test

#endif  // GLIMFX_TESTS_BLEND_ISA_PARAM_H_

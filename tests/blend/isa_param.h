// Every test here runs once per instruction set; a path this build or this
// processor cannot run shows as a skipped test, never as a silent pass.
#ifndef GLIMFX_TESTS_BLEND_ISA_PARAM_H_
#define GLIMFX_TESTS_BLEND_ISA_PARAM_H_

#include <gtest/gtest.h>

#include <string>

#include "harness.h"
#include "path_targets.h"

namespace glimfx_test {

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
  Target target() const { return PathTarget(GetParam()); }
};

}  // namespace glimfx_test

#endif  // GLIMFX_TESTS_BLEND_ISA_PARAM_H_

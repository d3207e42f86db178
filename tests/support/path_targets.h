// Every way the tests reach the library: each instruction set forced
// (glimfx::Blend and glimfx::Night from paths.h), and the exports as linked
// from the static core.
#ifndef GLIMFX_TESTS_SUPPORT_PATH_TARGETS_H_
#define GLIMFX_TESTS_SUPPORT_PATH_TARGETS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "harness.h"
#include "paths.h"

namespace glimfx_test {

// Extend with every value of glimfx::Isa.
constexpr glimfx::Isa kAllIsas[] = {glimfx::Isa::kScalar, glimfx::Isa::kSse2, glimfx::Isa::kAvx2,
                                    glimfx::Isa::kAvx512};

Target PathTarget(glimfx::Isa isa);
// Every path this processor runs, then the exports.
std::vector<Target> RunnableTargets();
// Checks one case on each of them; the first failure, or an empty string.
std::string CheckEverywhere(const Case& c);

}  // namespace glimfx_test

#endif  // GLIMFX_TESTS_SUPPORT_PATH_TARGETS_H_

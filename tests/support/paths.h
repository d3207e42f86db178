// Every way the tests reach the library's internals, in one place: each
// instruction set forced, and the exports as linked from the static core.
#ifndef GLIMFX_TESTS_SUPPORT_PATHS_H_
#define GLIMFX_TESTS_SUPPORT_PATHS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "harness.h"
#include "isa.h"

namespace glimfx_test {

// Extend with every value of glimfx::Isa.
constexpr glimfx::Isa kAllIsas[] = {glimfx::Isa::kScalar, glimfx::Isa::kSse2, glimfx::Isa::kAvx2};

int32_t Blend(glimfx::Isa isa, uint8_t* dest, const uint8_t* src, int32_t width, int32_t height,
              int32_t src_pitch, int32_t dest_pitch, uint32_t format);
int32_t Night(glimfx::Isa isa, uint8_t* surface, int32_t width, int32_t height, int32_t pitch,
              uint32_t format);

Target PathTarget(glimfx::Isa isa);
// Every path this processor runs, then the exports.
std::vector<Target> RunnableTargets();
// Checks one case on each of them; the first failure, or an empty string.
std::string CheckEverywhere(const Case& c);

}  // namespace glimfx_test

#endif  // GLIMFX_TESTS_SUPPORT_PATHS_H_

#include "path_targets.h"

#include "glimfx.h"

namespace glimfx_test {

Target PathTarget(glimfx::Isa isa) {
  return {glimfx::IsaName(isa),
          [isa](uint8_t* dest, const uint8_t* src, int32_t width, int32_t height, int32_t src_pitch,
                int32_t dest_pitch, uint32_t format) {
            return glimfx::Blend(isa, dest, src, width, height, src_pitch, dest_pitch, format);
          },
          [isa](uint8_t* surface, int32_t width, int32_t height, int32_t pitch, uint32_t format) {
            return glimfx::Night(isa, surface, width, height, pitch, format);
          }};
}

std::vector<Target> RunnableTargets() {
  std::vector<Target> targets;
  for (glimfx::Isa isa : kAllIsas) {
    if (glimfx::IsaSupported(isa)) targets.push_back(PathTarget(isa));
  }
  targets.push_back({"export", BltAlphaFast, BltEfectoNoche});
  return targets;
}

std::string CheckEverywhere(const Case& c) {
  static const std::vector<Target> targets = RunnableTargets();
  for (const Target& t : targets) {
    std::string failure = CheckCase(t, c);
    if (!failure.empty()) return failure;
  }
  return std::string();
}

}  // namespace glimfx_test

#include "forced_paths.h"

#include "paths.h"

namespace glimfx_bench {
namespace {

glimfx::Isa IsaOf(Path path) {
  switch (path) {
    case Path::kSse2:
      return glimfx::Isa::kSse2;
    case Path::kAvx2:
      return glimfx::Isa::kAvx2;
    case Path::kAvx512:
      return glimfx::Isa::kAvx512;
    case Path::kScalar:
      break;
  }
  return glimfx::Isa::kScalar;
}

}  // namespace

const char* PathName(Path path) { return glimfx::IsaName(IsaOf(path)); }

bool PathRuns(Path path) { return glimfx::IsaSupported(IsaOf(path)); }

const char* BestPathName() { return glimfx::IsaName(glimfx::DetectIsa()); }

void BlendWith(Path path, uint8_t* dest, const uint8_t* src, int32_t width, int32_t height,
               int32_t src_pitch, int32_t dest_pitch, uint32_t format) {
  glimfx::Blend(IsaOf(path), dest, src, width, height, src_pitch, dest_pitch, format);
}

void NightWith(Path path, uint8_t* surface, int32_t width, int32_t height, int32_t pitch,
               uint32_t format) {
  glimfx::Night(IsaOf(path), surface, width, height, pitch, format);
}

}  // namespace glimfx_bench

// The library's forced paths, for timing each one on its own. forced_paths.cpp is
// the only bench file that sees the library's internal entry points.
#ifndef GLIMFX_BENCH_FORCED_PATHS_H_
#define GLIMFX_BENCH_FORCED_PATHS_H_

#include <cstdint>

namespace glimfx_bench {

enum class Path { kScalar, kSse2, kAvx2, kAvx512 };
constexpr Path kPaths[] = {Path::kScalar, Path::kSse2, Path::kAvx2, Path::kAvx512};

const char* PathName(Path path);
bool PathRuns(Path path);  // built and supported on this machine
const char* BestPathName();

void BlendWith(Path path, uint8_t* dest, const uint8_t* src, int32_t width, int32_t height,
               int32_t src_pitch, int32_t dest_pitch, uint32_t format);
void NightWith(Path path, uint8_t* surface, int32_t width, int32_t height, int32_t pitch,
               uint32_t format);

}  // namespace glimfx_bench

#endif  // GLIMFX_BENCH_FORCED_PATHS_H_

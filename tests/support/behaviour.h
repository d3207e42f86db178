// Behavioural checks of both routines through any way of calling them (the
// internal entry points with a forced path, or the exports of a loaded
// library). Each returns an empty string when every case passes, otherwise a
// description of the first failure: routine, path, format, width, height,
// pitches, and the first differing byte.
#ifndef GLIMFX_TESTS_SUPPORT_BEHAVIOUR_H_
#define GLIMFX_TESTS_SUPPORT_BEHAVIOUR_H_

#include <cstdint>
#include <functional>
#include <string>

namespace glimfx_test {

using BlendFn =
    std::function<int32_t(uint8_t* dest, const uint8_t* src, int32_t width, int32_t height,
                          int32_t src_pitch, int32_t dest_pitch, uint32_t format)>;
using NightFn = std::function<int32_t(uint8_t* surface, int32_t width, int32_t height,
                                      int32_t pitch, uint32_t format)>;

// The worked results, each as two rows with gap bytes and margins that must
// stay as they were.
std::string CheckBlendExamples(const BlendFn& fn, const std::string& path);
// Night results at every width from 1 to 9, so groups and tails meet.
std::string CheckNightExamples(const NightFn& fn, const std::string& path);
// A 24-bit white pixel darkened again and again: FF FF FF, 7F 7F 9F,
// 3F 3F 6F, ..., settling at 00 00 40.
std::string CheckNightRepeated(const NightFn& fn, const std::string& path);
// Codes 2, 5 and 0xFFFFFFFF give -1; width 0 gives 0; neither touches a byte.
std::string CheckRejectsAndEmpty(const BlendFn& blend, const NightFn& night,
                                 const std::string& path);

// `count` random rectangles, every format in turn, widths 0..70, heights
// 1..5, independent odd or negative pitches, compared with the model over
// whole buffers; the source must not change.
std::string CheckBlendRandom(const BlendFn& fn, const std::string& path, uint64_t seed, int count);
std::string CheckNightRandom(const NightFn& fn, const std::string& path, uint64_t seed, int count);

// One comparison of a call against the model on plain buffers; the building
// block of the random checks, exposed for fuzz and differential targets.
std::string CompareBlendCase(const BlendFn& fn, const std::string& path, uint64_t seed,
                             uint32_t format, int32_t width, int32_t height);
std::string CompareNightCase(const NightFn& fn, const std::string& path, uint64_t seed,
                             uint32_t format, int32_t width, int32_t height);

}  // namespace glimfx_test

#endif  // GLIMFX_TESTS_SUPPORT_BEHAVIOUR_H_

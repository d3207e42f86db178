// The tests' one oracle and harness: any way of calling both routines (a
// forced path, the exports linked or loaded, the model itself) is run on
// fenced surfaces and compared byte for byte with the per-channel model over
// whole surfaces. Each check returns an empty string when every case passes,
// otherwise the first failure: routine, path, format, sizes, pitches, the
// first differing byte. Every call is also followed by a check of the x87
// unit, which a forgotten EMMS leaves unusable.
#ifndef GLIMFX_TESTS_SUPPORT_HARNESS_H_
#define GLIMFX_TESTS_SUPPORT_HARNESS_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "rng.h"
#include "surface.h"

namespace glimfx_test {

using BlendFn =
    std::function<int32_t(uint8_t* dest, const uint8_t* src, int32_t width, int32_t height,
                          int32_t src_pitch, int32_t dest_pitch, uint32_t format)>;
using NightFn = std::function<int32_t(uint8_t* surface, int32_t width, int32_t height,
                                      int32_t pitch, uint32_t format)>;

// One way of calling both routines, named in failure messages.
struct Target {
  std::string name;
  BlendFn blend;
  NightFn night;
};

Target ModelTarget();

enum class Routine { kBlend, kNight };

// A blend whose source lies in the destination's own surface: its first row
// `shift` bytes after the destination's, its pitch `pitch_change` bytes more.
struct Overlap {
  int32_t shift = 0;
  int32_t pitch_change = 0;
};

// One call: routine, format, sizes, where each surface lies, and how the
// source (blend) or the surface (night) is filled; `seed` fills the rest.
struct Case {
  Routine routine = Routine::kBlend;
  uint32_t format = kFormat555;
  int32_t bpp = 0;  // bytes per pixel of the surfaces; 0 takes the format's
  int32_t width = 0;
  int32_t height = 1;
  Placement dest;
  Placement src;
  PixelMix mix;
  uint64_t seed = 0;
  // When set, fills the source rectangle (blend) in place of `mix`.
  std::function<void(Rng& rng, uint8_t* first_row, const RectLayout& layout)> fill_src = nullptr;
  // When set, `src` is unused: one surface, placed as `dest`, holds both
  // rectangles.
  std::optional<Overlap> overlap = std::nullopt;
};

// Runs `c` through `target` and compares status, destination and source
// with the model's.
std::string CheckCase(const Target& target, const Case& c);

// A case of random placements (odd and negative pitches, unaligned starts,
// fences around every row now and then) for the given sizes.
Case RandomCase(Rng& rng, Routine routine, uint32_t format, int32_t width, int32_t height);

// `count` random cases, every format in turn, every width 0..70 at least
// once, heights 1..5.
std::string CheckRandom(const Target& target, Routine routine, uint64_t seed, int count);

// A blend of a surface onto itself: shifted by up to 150 pixels either way
// (past the 64 lanes a run walk looks ahead; mostly by a few), now and then
// by bytes that split a pixel or by whole rows, either pitch sign, the
// source's pitch now and then a few pixels off.
Case RandomOverlapCase(Rng& rng, uint32_t format, int32_t width, int32_t height);
// `count` such cases, every format in turn, widths 1..240, heights 1..4.
std::string CheckOverlapping(const Target& target, uint64_t seed, int count);

// The worked results, each as two rows with gap bytes and margins that must
// stay as they were; night results at every width from 1 to 9.
std::string CheckBlendExamples(const Target& target);
std::string CheckNightExamples(const Target& target);
// A 24-bit white pixel darkened again and again: FF FF FF, 7F 7F 9F,
// 3F 3F 6F, ..., settling at 00 00 40.
std::string CheckNightRepeated(const Target& target);
// Codes 2, 5 and others give -1, whatever the width (0 too); width 0 gives 0;
// neither touches a byte.
std::string CheckRejectsAndEmpty(const Target& target);
// All of the above, with `random_count` random cases of each routine and
// half as many overlapping blends.
std::string CheckBehaviour(const Target& target, uint64_t seed, int random_count);

// A case drawn from fuzz input bytes (any length).
Case CaseFromFuzzInput(const uint8_t* data, size_t size);

// Empty when every x87 register is empty and the unit computes right, as a
// caller may expect after any call.
std::string X87Failure();

}  // namespace glimfx_test

#endif  // GLIMFX_TESTS_SUPPORT_HARNESS_H_

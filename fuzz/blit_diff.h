// Differential checking of the pixel library: one case (routine, format,
// sizes, pitches, start offsets, pixels) is run on the scalar path and on
// every other path the machine supports, over separate copies of the same
// buffers, and the whole buffers are compared byte for byte.
#ifndef GLIMFX_FUZZ_BLIT_DIFF_H_
#define GLIMFX_FUZZ_BLIT_DIFF_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace glimfx_fuzz {

enum class Routine { kBlend, kNight };

struct Case {
  Routine routine = Routine::kBlend;
  uint32_t format = 0;
  int32_t width = 0;
  int32_t height = 1;
  // Bytes between the end of one row and the start of the next; the pitch
  // is the row's bytes plus this gap, negated when the flag is set.
  int32_t dest_gap = 0;
  int32_t src_gap = 0;
  bool dest_upward = false;
  bool src_upward = false;
  // Bytes before the rectangle's lowest row in its buffer (start misalignment).
  int32_t dest_offset = 0;
  int32_t src_offset = 0;
  // How the source (blend) or the surface (night) is filled: the share of
  // key pixels out of 256, the longest key run, and the seed of the rest.
  uint8_t key_share = 0;
  uint8_t max_run = 1;
  uint64_t seed = 0;
};

// Runs one case on every supported path and on the exports. Returns an empty
// string when every result equals the scalar path's, else a description of
// the first difference: routine, format, path, sizes, pitches and byte.
std::string CheckCase(const Case& c);

// Draws a case from fuzz input bytes (any length) and checks it.
std::string CheckInput(const uint8_t* data, size_t size);

// A textual description of a case, for failure messages.
std::string Describe(const Case& c);

}  // namespace glimfx_fuzz

#endif  // GLIMFX_FUZZ_BLIT_DIFF_H_

// An independent model of both library routines, written channel by channel
// from the rules (unpack every field, halve it, add, repack) rather than with
// the packed shift-and-mask the library uses, so the two cannot share a bug.
// Same arguments and results as the library's routines.
#ifndef GLIMFX_TESTS_SUPPORT_PIXEL_MODEL_H_
#define GLIMFX_TESTS_SUPPORT_PIXEL_MODEL_H_

#include <cstdint>

namespace glimfx_test {

int32_t ModelBlend(uint8_t* dest, const uint8_t* src, int32_t width, int32_t height,
                   int32_t src_pitch, int32_t dest_pitch, uint32_t format);

int32_t ModelNight(uint8_t* surface, int32_t width, int32_t height, int32_t pitch, uint32_t format);

// Single-pixel rules, for tables and for the fuzz targets.
bool ModelIsKey(uint32_t format, uint32_t src_pixel);
uint32_t ModelBlendPixel(uint32_t format, uint32_t dest_pixel, uint32_t src_pixel);
// `in_group`: whether a 5-6-5 pixel lies in a row's group of four (it decides
// the blue increment there); ignored by the other layouts.
uint32_t ModelNightPixel(uint32_t format, uint32_t pixel, bool in_group);

}  // namespace glimfx_test

#endif  // GLIMFX_TESTS_SUPPORT_PIXEL_MODEL_H_

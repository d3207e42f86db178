// Command line of glimfx-demo, and the checks that need only numbers.
#ifndef GLIMFX_TOOLS_DEMO_OPTIONS_H_
#define GLIMFX_TOOLS_DEMO_OPTIONS_H_

#include <cstdint>
#include <string>

#include "pixel_format.h"

namespace glimfx_demo {

enum class Command { kHelp, kVersion, kConvert, kBlend, kNight };

struct Rect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

struct Options {
  Command command = Command::kHelp;
  std::string help;    // kHelp: the text to print
  std::string input;   // the picture (alpha: the background)
  std::string sprite;  // alpha only
  std::string output;
  uint32_t format = glimfx::kFormat565;
  int32_t at_x = 0;
  int32_t at_y = 0;
  bool has_rect = false;
  Rect rect;
  int32_t times = 1;
  bool bottom_up = false;
  std::string library;
};

constexpr int32_t kMaxTimes = 1000;
// Keeps every byte offset of a surface inside a signed 32-bit pitch.
constexpr int32_t kMaxSide = 16384;

const char* FormatName(uint32_t code);

// Fills `options`, or returns false with a one-line reason in `error`.
bool ParseOptions(int argc, const char* const* argv, Options* options, std::string* error);

// Empty when the sprite lies wholly inside the background; otherwise why not.
std::string CheckSpriteFits(int32_t bg_width, int32_t bg_height, int32_t sprite_width,
                            int32_t sprite_height, int32_t x, int32_t y);
// Empty when the rectangle lies wholly inside the picture; otherwise why not.
std::string CheckRectFits(int32_t width, int32_t height, const Rect& rect);

}  // namespace glimfx_demo

#endif  // GLIMFX_TOOLS_DEMO_OPTIONS_H_

// glimfx-demo: reads PNG pictures, runs one of the library's routines over
// them in a chosen pixel layout and writes the result as a PNG.
#include <cstdio>
#include <string>

#include "image.h"
#include "library.h"
#include "options.h"
#include "platform.h"
#include "png_io.h"

namespace glimfx_demo {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int Fail(int status, const std::string& message) {
  std::fprintf(stderr, "glimfx-demo: %s\n", message.c_str());
  return status;
}

std::string Rejected(const char* routine, uint32_t format) {
  return std::string(routine) + " rejected the call for format " + FormatName(format) +
         " (pixel format code " + std::to_string(format) + ")";
}

int Run(int argc, char** argv) {
  Options options;
  std::string error;
  if (!ParseOptions(argc, argv, &options, &error)) return Fail(kExitUsage, error);
  if (options.command == Command::kHelp) {
    std::fputs(options.help.c_str(), stdout);
    return 0;
  }
  if (options.command == Command::kVersion) {
    std::printf("glimfx-demo %s\n", GLIMFX_DEMO_VERSION);
    return 0;
  }

  Image picture;
  if (!ReadPng(options.input, &picture, &error)) return Fail(kExitFailure, error);
  Image sprite;
  if (options.command == Command::kBlend) {
    if (!ReadPng(options.sprite, &sprite, &error)) return Fail(kExitFailure, error);
    error = CheckSpriteFits(picture.width, picture.height, sprite.width, sprite.height,
                            options.at_x, options.at_y);
    if (!error.empty()) return Fail(kExitFailure, error);
  }
  Rect rect{0, 0, picture.width, picture.height};
  if (options.has_rect) {
    rect = options.rect;
    error = CheckRectFits(picture.width, picture.height, rect);
    if (!error.empty()) return Fail(kExitFailure, error);
  }

  Surface surface = MakeSurface(picture, options.format, options.bottom_up);
  if (options.command != Command::kConvert) {
    GlimfxLibrary library;
    if (!LoadGlimfx(options.library, &library, &error)) return Fail(kExitFailure, error);
    if (options.command == Command::kBlend) {
      const Surface sprite_surface = MakeSurface(sprite, options.format, options.bottom_up);
      const int32_t status = library.blt_alpha_fast(
          surface.PixelAt(options.at_x, options.at_y), sprite_surface.Row0(), sprite.width,
          sprite.height, sprite_surface.pitch, surface.pitch, options.format);
      if (status != 0) return Fail(kExitFailure, Rejected("BltAlphaFast", options.format));
    } else {
      for (int32_t i = 0; i < options.times; ++i) {
        const int32_t status = library.blt_efecto_noche(surface.PixelAt(rect.x, rect.y), rect.width,
                                                        rect.height, surface.pitch, options.format);
        if (status != 0) return Fail(kExitFailure, Rejected("BltEfectoNoche", options.format));
      }
    }
  }

  if (!ReplaceFileWith(options.output, EncodePng(ReadSurface(surface)), &error)) {
    return Fail(kExitFailure, error);
  }
  return 0;
}

}  // namespace
}  // namespace glimfx_demo

int main(int argc, char** argv) { return glimfx_demo::Run(argc, argv); }

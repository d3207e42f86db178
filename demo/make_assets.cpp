// Draws the project's own demo pictures: a daytime landscape with colour
// ramps (background.png) and a glowing orb on a black key (sprite.png).
#include <cmath>
#include <cstdio>
#include <string>

#include "image.h"
#include "platform.h"
#include "png_io.h"

namespace glimfx_demo {
namespace {

constexpr int32_t kBackgroundWidth = 160;
constexpr int32_t kBackgroundHeight = 120;
constexpr int32_t kSpriteSide = 48;

struct Rgb {
  double r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

void Put(Image* image, int32_t x, int32_t y, Rgb c) {
  uint8_t* p = image->rgb.data() + (static_cast<size_t>(y) * image->width + x) * 3;
  const double channels[3] = {c.r, c.g, c.b};
  for (int i = 0; i < 3; ++i) {
    const double v = channels[i] < 0 ? 0 : channels[i] > 255 ? 255 : channels[i];
    p[i] = static_cast<uint8_t>(std::lround(v));
  }
}

Image Blank(int32_t width, int32_t height) {
  Image image;
  image.width = width;
  image.height = height;
  image.rgb.assign(static_cast<size_t>(width) * height * 3, 0);
  return image;
}

Rgb Hue(double h) {
  const double r = std::fabs(h * 6 - 3) - 1;
  const double g = 2 - std::fabs(h * 6 - 2);
  const double b = 2 - std::fabs(h * 6 - 4);
  auto clamp = [](double v) { return (v < 0 ? 0 : v > 1 ? 1 : v) * 255; };
  return {clamp(r), clamp(g), clamp(b)};
}

Image DrawBackground() {
  Image image = Blank(kBackgroundWidth, kBackgroundHeight);
  const Rgb sky_top{40, 90, 200};
  const Rgb sky_low{250, 190, 130};
  const Rgb sun{255, 235, 100};
  const Rgb far_hill{80, 150, 90};
  const Rgb near_hill_top{60, 140, 60};
  const Rgb near_hill_low{20, 70, 30};
  for (int32_t y = 0; y < 100; ++y) {
    for (int32_t x = 0; x < kBackgroundWidth; ++x) {
      Rgb c = Mix(sky_top, sky_low, y / 75.0);
      const double sun_distance = std::hypot(x - 118.0, y - 32.0);
      if (sun_distance < 16) c = Mix(sun, c, sun_distance < 13 ? 0 : (sun_distance - 13) / 3);
      if (y > 68 + 7 * std::sin(x / 15.0)) c = far_hill;
      const double near_top = 82 + 9 * std::sin(x / 11.0 + 1);
      if (y > near_top) c = Mix(near_hill_top, near_hill_low, (y - near_top) / 20.0);
      Put(&image, x, y, c);
    }
  }
  // A grey ramp and a hue ramp show what each layout does to fine steps.
  for (int32_t y = 100; y < kBackgroundHeight; ++y) {
    for (int32_t x = 0; x < kBackgroundWidth; ++x) {
      const double t = x / static_cast<double>(kBackgroundWidth - 1);
      Put(&image, x, y, y < 110 ? Rgb{t * 255, t * 255, t * 255} : Hue(t));
    }
  }
  return image;
}

Image DrawSprite() {
  Image image = Blank(kSpriteSide, kSpriteSide);  // black: the key colour
  const double centre = (kSpriteSide - 1) / 2.0;
  const Rgb core{255, 255, 230};
  const Rgb rim{255, 90, 20};
  const Rgb spark{60, 230, 255};
  for (int32_t y = 0; y < kSpriteSide; ++y) {
    for (int32_t x = 0; x < kSpriteSide; ++x) {
      const double dx = x - centre;
      const double dy = y - centre;
      const double d = std::hypot(dx, dy);
      if (d < 15) {
        Put(&image, x, y, Mix(core, rim, d / 15));
      } else if ((std::fabs(dx) < 1.5 || std::fabs(dy) < 1.5) && d < 23) {
        Put(&image, x, y, Mix(spark, Rgb{0, 60, 140}, (d - 15) / 8));
      }
    }
  }
  return image;
}

int Write(const std::string& path, const Image& image) {
  std::string error;
  if (!ReplaceFileWith(path, EncodePng(image), &error)) {
    std::fprintf(stderr, "make_assets: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace glimfx_demo

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  return glimfx_demo::Write(dir + "/background.png", glimfx_demo::DrawBackground()) |
         glimfx_demo::Write(dir + "/sprite.png", glimfx_demo::DrawSprite());
}

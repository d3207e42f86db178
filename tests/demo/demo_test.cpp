// The demo's own logic: pixel packing, surfaces, command line, placement
// checks, PNG decoding errors and the library search order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "glimfx.h"
#include "image.h"
#include "library.h"
#include "options.h"
#include "png_io.h"

namespace glimfx_demo {
namespace {

Image Gradient(int32_t width, int32_t height) {
  Image image;
  image.width = width;
  image.height = height;
  for (int32_t i = 0; i < width * height; ++i) {
    image.rgb.push_back(static_cast<uint8_t>(i * 37));
    image.rgb.push_back(static_cast<uint8_t>(i * 11 + 5));
    image.rgb.push_back(static_cast<uint8_t>(255 - i * 3));
  }
  return image;
}

TEST(PackPixel, KnownValuesPerLayout) {
  EXPECT_EQ(PackPixel(0, 255, 255, 255), 0x7FFFu);
  EXPECT_EQ(PackPixel(0, 255, 0, 0), 0x7C00u);
  EXPECT_EQ(PackPixel(1, 255, 255, 255), 0xFFFFu);
  EXPECT_EQ(PackPixel(1, 0, 255, 0), 0x07E0u);
  EXPECT_EQ(PackPixel(1, 0, 0, 255), 0x001Fu);
  EXPECT_EQ(PackPixel(3, 0x12, 0x34, 0x56), 0x123456u);
  EXPECT_EQ(PackPixel(4, 0x12, 0x34, 0x56), 0xFF123456u);
  // Colours below the layout's first step become the key colour.
  EXPECT_EQ(PackPixel(0, 7, 7, 7), 0u);
  EXPECT_EQ(PackPixel(1, 7, 3, 7), 0u);
}

TEST(UnpackPixel, FullScaleWidensTo255AndEveryLevelSurvivesARoundTrip) {
  for (uint32_t format : glimfx::kAllFormats) {
    uint8_t r, g, b;
    UnpackPixel(format, PackPixel(format, 255, 255, 255), &r, &g, &b);
    EXPECT_EQ(r, 255) << "format " << format;
    EXPECT_EQ(g, 255) << "format " << format;
    EXPECT_EQ(b, 255) << "format " << format;
    // A widened value packs back to the same packed value.
    for (int v = 0; v < 256; ++v) {
      const uint32_t packed = PackPixel(format, static_cast<uint8_t>(v), 0, 0);
      UnpackPixel(format, packed, &r, &g, &b);
      ASSERT_EQ(PackPixel(format, r, g, b), packed) << "format " << format << " red " << v;
    }
  }
}

TEST(Surface, PadsRowsToFourBytesAndBottomUpHoldsTheSamePicture) {
  const Image image = Gradient(5, 3);
  for (uint32_t format : glimfx::kAllFormats) {
    const Surface top = MakeSurface(image, format, false);
    const Surface bottom = MakeSurface(image, format, true);
    const int32_t stride = (5 * BytesPerPixel(format) + 3) / 4 * 4;
    EXPECT_EQ(top.pitch, stride);
    EXPECT_EQ(bottom.pitch, -stride);
    EXPECT_EQ(top.memory.size(), static_cast<size_t>(stride) * 3);
    // Row 0 of a bottom-up surface is the last row in memory.
    EXPECT_EQ(bottom.Row0(), bottom.memory.data() + 2 * stride);
    const Image from_top = ReadSurface(top);
    const Image from_bottom = ReadSurface(bottom);
    EXPECT_EQ(from_top.rgb, from_bottom.rgb) << "format " << format;
    if (format >= 3) {
      EXPECT_EQ(from_top.rgb, image.rgb) << "format " << format;
    }
  }
}

// The demo's pipeline with the library linked directly: a white background
// with a red sprite pixel beside a key pixel, in 5-6-5 (the pair rule).
TEST(Surface, CarriesALibraryCallBackToColours) {
  Image background;
  background.width = 2;
  background.height = 1;
  background.rgb = {255, 255, 255, 255, 255, 255};
  Image sprite = background;
  sprite.rgb = {255, 0, 0, 0, 0, 0};
  Surface dest = MakeSurface(background, 1, true);
  const Surface src = MakeSurface(sprite, 1, true);
  ASSERT_EQ(BltAlphaFast(dest.Row0(), src.Row0(), 2, 1, src.pitch, dest.pitch, 1), 0);
  const Image out = ReadSurface(dest);
  // 0xF800 over 0xFFFF gives 0xF3EF; the keyed partner becomes 0xF7DE.
  const std::vector<uint8_t> expected = {0xF7, 0x7D, 0x7B, 0xF7, 0xFB, 0xF7};
  EXPECT_EQ(out.rgb, expected);
}

// Parses `args` (without the program's name); `error` holds the reason on failure.
bool Parse(std::vector<const char*> args, Options* options, std::string* error) {
  args.insert(args.begin(), "glimfx-demo");
  return ParseOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(ParseOptions, FillsEveryOptionOfEachCommandAndItsDefaults) {
  Options options;
  std::string error;
  ASSERT_TRUE(Parse(
      {"alpha", "bg.png", "sp.png", "--at", "3,-4", "--format", "24", "-o", "o.png", "--bottom-up"},
      &options, &error))
      << error;
  EXPECT_EQ(options.command, Command::kBlend);
  EXPECT_EQ(options.input, "bg.png");
  EXPECT_EQ(options.sprite, "sp.png");
  EXPECT_EQ(options.format, 3u);
  EXPECT_EQ(options.at_x, 3);
  EXPECT_EQ(options.at_y, -4);
  EXPECT_TRUE(options.bottom_up);
  EXPECT_EQ(options.output, "o.png");

  // Paths that start with a slash are paths on every platform, not options.
  ASSERT_TRUE(Parse({"noche", "/in.png", "--rect", "1,2,3,4", "--times", "7", "--output", "/o.png",
                     "--library", "/x.dll"},
                    &options, &error))
      << error;
  EXPECT_EQ(options.command, Command::kNight);
  EXPECT_EQ(options.input, "/in.png");
  EXPECT_EQ(options.output, "/o.png");
  EXPECT_EQ(options.format, 1u);  // 5-6-5 unless asked otherwise
  EXPECT_FALSE(options.bottom_up);
  EXPECT_TRUE(options.has_rect);
  EXPECT_EQ(
      options.rect.x + options.rect.y * 10 + options.rect.width * 100 + options.rect.height * 1000,
      4321);
  EXPECT_EQ(options.times, 7);
  EXPECT_EQ(options.library, "/x.dll");

  ASSERT_TRUE(Parse({"convert", "in.png", "-o", "o.png", "--format", "555"}, &options, &error));
  EXPECT_EQ(options.command, Command::kConvert);
  EXPECT_EQ(options.format, 0u);
  EXPECT_FALSE(options.has_rect);
  EXPECT_EQ(options.times, 1);
  EXPECT_EQ(options.at_x + options.at_y, 0);

  // A command's help is its own.
  ASSERT_TRUE(Parse({"noche", "--help"}, &options, &error));
  EXPECT_EQ(options.command, Command::kHelp);
  EXPECT_NE(options.help.find("--rect"), std::string::npos) << options.help;
  EXPECT_EQ(options.help.find("--at"), std::string::npos) << options.help;
}

TEST(ParseOptions, RejectsBadCommandLinesWithAReason) {
  const struct {
    std::vector<const char*> args;
    const char* reason;
  } kCases[] = {
      {{}, "no command"},
      {{"blur", "a.png", "-o", "b.png"}, "unknown command 'blur'"},
      {{"noche", "a.png", "-o", "b.png", "--format", "16"}, "unknown format '16'"},
      {{"noche", "a.png", "-o", "b.png", "--format", "2"}, "unknown format '2'"},
      {{"noche", "a.png"}, "--output"},
      {{"alpha", "a.png", "-o", "b.png"}, "SPRITE"},
      {{"noche", "a.png", "-o", "b.png", "--rect", "1,2,3"}, "--rect"},
      {{"noche", "a.png", "-o", "b.png", "--rect", "1,2,3,4,5"}, "--rect"},
      {{"noche", "a.png", "-o", "b.png", "--times", "0"}, "--times"},
      {{"noche", "a.png", "-o", "b.png", "--times", "1001"}, "--times"},
      {{"noche", "a.png", "-o", "b.png", "--times", "3x"}, "--times"},
      {{"alpha", "a", "b", "-o", "c", "--at", "99999999999,1"}, "--at"},
      {{"convert", "a.png", "-o", "b.png", "--at", "1,1"}, "--at"},
      {{"alpha", "a", "b", "-o", "c", "--times", "2"}, "--times"},
      {{"alpha", "a", "b", "-o", "c", "--rect", "1,1,1,1"}, "--rect"},
  };
  for (const auto& c : kCases) {
    Options options;
    std::string error;
    std::string line;
    for (const char* arg : c.args) line += std::string(" ") + arg;
    EXPECT_FALSE(Parse(c.args, &options, &error)) << line;
    EXPECT_NE(error.find(c.reason), std::string::npos) << line << ": " << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << line << ": " << error;
  }
}

TEST(Placement, AcceptsExactFitsAndRefusesAnythingOutside) {
  EXPECT_EQ(CheckSpriteFits(160, 120, 48, 48, 112, 72), "");
  EXPECT_EQ(CheckSpriteFits(48, 48, 48, 48, 0, 0), "");
  EXPECT_NE(CheckSpriteFits(160, 120, 48, 48, 113, 0), "");
  EXPECT_NE(CheckSpriteFits(160, 120, 48, 48, 0, 73), "");
  EXPECT_NE(CheckSpriteFits(160, 120, 48, 48, -1, 0), "");
  EXPECT_NE(CheckSpriteFits(40, 40, 48, 48, 0, 0), "");
  // x + width would wrap in 32 bits.
  EXPECT_NE(CheckSpriteFits(160, 120, 48, 48, INT32_MAX - 10, 0), "");

  EXPECT_EQ(CheckRectFits(160, 120, Rect{0, 0, 160, 120}), "");
  EXPECT_EQ(CheckRectFits(160, 120, Rect{159, 119, 1, 1}), "");
  EXPECT_NE(CheckRectFits(160, 120, Rect{159, 119, 2, 1}), "");
  EXPECT_NE(CheckRectFits(160, 120, Rect{0, 0, 0, 5}), "");
  EXPECT_NE(CheckRectFits(160, 120, Rect{0, 0, 5, 0}), "");
  EXPECT_NE(CheckRectFits(160, 120, Rect{-1, 0, 5, 5}), "");
  EXPECT_NE(CheckRectFits(160, 120, Rect{0, INT32_MAX, 5, 5}), "");
}

TEST(DecodePng, RefusesWhatIsNotAWholePng) {
  Image image;
  std::string error;
  EXPECT_FALSE(DecodePng({'G', 'I', 'F', '8', '9', 'a', 0, 0, 0}, "x.gif", &image, &error));
  EXPECT_EQ(error, "x.gif is not a PNG file");
  EXPECT_FALSE(DecodePng({}, "empty.png", &image, &error));
  EXPECT_EQ(error, "empty.png is not a PNG file");

  Image source = Gradient(7, 5);
  std::vector<uint8_t> bytes = EncodePng(source);
  ASSERT_TRUE(DecodePng(bytes, "ok.png", &image, &error)) << error;
  EXPECT_EQ(image.width, 7);
  EXPECT_EQ(image.height, 5);
  EXPECT_EQ(image.rgb, source.rgb);
  bytes.resize(bytes.size() / 2);
  EXPECT_FALSE(DecodePng(bytes, "cut.png", &image, &error));
  EXPECT_EQ(error.rfind("cut.png is a damaged PNG file", 0), 0u) << error;
}

TEST(LibraryCandidates, SearchesBesideTheProgramThenTheSystem) {
  EXPECT_EQ(LibraryCandidates("", "/opt/g/bin", "libglimfx.so.1", '/', true),
            (std::vector<std::string>{"/opt/g/bin/libglimfx.so.1",
                                      "/opt/g/bin/../lib/libglimfx.so.1", "libglimfx.so.1"}));
  EXPECT_EQ(LibraryCandidates("", "C:\\game", "glimfx.dll", '\\', false),
            (std::vector<std::string>{"C:\\game\\glimfx.dll", "glimfx.dll"}));
  EXPECT_EQ(LibraryCandidates("my.dll", "C:\\game", "glimfx.dll", '\\', false),
            (std::vector<std::string>{"my.dll"}));
  EXPECT_EQ(LibraryCandidates("", "", "glimfx.dll", '\\', false),
            (std::vector<std::string>{"glimfx.dll"}));
}

}  // namespace
}  // namespace glimfx_demo

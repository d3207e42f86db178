#include "options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace glimfx_demo {

namespace {

bool ParseInt(const std::string& text, int32_t* value) {
  if (text.empty() || (text[0] != '-' && (text[0] < '0' || text[0] > '9'))) return false;
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < INT32_MIN || v > INT32_MAX) return false;
  *value = static_cast<int32_t>(v);
  return true;
}

// Splits "a,b,c" into exactly `count` integers.
bool ParseInts(const std::string& text, size_t count, int32_t* values) {
  size_t start = 0;
  for (size_t i = 0; i < count; ++i) {
    const size_t comma = text.find(',', start);
    const bool last = i + 1 == count;
    if (last != (comma == std::string::npos)) return false;
    const std::string part = text.substr(start, last ? std::string::npos : comma - start);
    if (!ParseInt(part, &values[i])) return false;
    start = comma + 1;
  }
  return true;
}

}  // namespace

bool ParseFormat(const std::string& text, uint32_t* code) {
  if (text == "555") {
    *code = glimfx::kFormat555;
  } else if (text == "565") {
    *code = glimfx::kFormat565;
  } else if (text == "24") {
    *code = glimfx::kFormat24;
  } else if (text == "32") {
    *code = glimfx::kFormat32;
  } else {
    return false;
  }
  return true;
}

const char* FormatName(uint32_t code) {
  switch (code) {
    case glimfx::kFormat555:
      return "555";
    case glimfx::kFormat565:
      return "565";
    case glimfx::kFormat24:
      return "24";
    default:
      return "32";
  }
}

bool ParseOptions(int argc, const char* const* argv, Options* options, std::string* error) {
  *options = Options();
  if (argc < 2) {
    *error = "no command given (try --help)";
    return false;
  }
  const std::string command = argv[1];
  size_t inputs_wanted = 1;
  if (command == "--help" || command == "-h" || command == "help") {
    options->command = Command::kHelp;
    return true;
  } else if (command == "--version") {
    options->command = Command::kVersion;
    return true;
  } else if (command == "convert") {
    options->command = Command::kConvert;
  } else if (command == "alpha") {
    options->command = Command::kBlend;
    inputs_wanted = 2;
  } else if (command == "noche") {
    options->command = Command::kNight;
  } else {
    *error = "unknown command '" + command + "' (expected alpha, noche or convert; try --help)";
    return false;
  }

  bool has_at = false;
  bool has_times = false;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      options->command = Command::kHelp;
      return true;
    }
    const bool takes_value = arg == "-o" || arg == "--output" || arg == "--format" ||
                             arg == "--at" || arg == "--rect" || arg == "--times" ||
                             arg == "--library";
    if (takes_value && i + 1 >= argc) {
      *error = "option " + arg + " needs a value";
      return false;
    }
    if (arg == "-o" || arg == "--output") {
      options->output = argv[++i];
    } else if (arg == "--format") {
      const std::string value = argv[++i];
      if (!ParseFormat(value, &options->format)) {
        *error = "unknown format '" + value + "' (expected 555, 565, 24 or 32)";
        return false;
      }
    } else if (arg == "--at") {
      int32_t xy[2];
      if (!ParseInts(argv[++i], 2, xy)) {
        *error = "--at wants X,Y (two integers), got '" + std::string(argv[i]) + "'";
        return false;
      }
      options->at_x = xy[0];
      options->at_y = xy[1];
      has_at = true;
    } else if (arg == "--rect") {
      int32_t r[4];
      if (!ParseInts(argv[++i], 4, r)) {
        *error = "--rect wants X,Y,W,H (four integers), got '" + std::string(argv[i]) + "'";
        return false;
      }
      options->rect = Rect{r[0], r[1], r[2], r[3]};
      options->has_rect = true;
    } else if (arg == "--times") {
      if (!ParseInt(argv[++i], &options->times) || options->times < 1 ||
          options->times > kMaxTimes) {
        *error = "--times wants a whole number from 1 to " + std::to_string(kMaxTimes) + ", got '" +
                 std::string(argv[i]) + "'";
        return false;
      }
      has_times = true;
    } else if (arg == "--bottom-up") {
      options->bottom_up = true;
    } else if (arg == "--library") {
      options->library = argv[++i];
    } else if (arg.size() > 1 && arg[0] == '-') {
      *error = "unknown option '" + arg + "' (try --help)";
      return false;
    } else {
      options->inputs.push_back(arg);
    }
  }

  if (options->inputs.size() != inputs_wanted) {
    *error = command + (inputs_wanted == 2 ? " wants two pictures, BACKGROUND and SPRITE"
                                           : " wants one input picture");
    return false;
  }
  if (options->output.empty()) {
    *error = "no output file given (use -o OUT.png)";
    return false;
  }
  if (has_at && options->command != Command::kBlend) {
    *error = "--at applies only to alpha";
    return false;
  }
  if ((options->has_rect || has_times) && options->command != Command::kNight) {
    *error = std::string(options->has_rect ? "--rect" : "--times") + " applies only to noche";
    return false;
  }
  return true;
}

std::string CheckSpriteFits(int32_t bg_width, int32_t bg_height, int32_t sprite_width,
                            int32_t sprite_height, int32_t x, int32_t y) {
  // 64-bit sums: x + width must not wrap for any 32-bit input.
  if (x < 0 || y < 0 || int64_t{x} + sprite_width > bg_width ||
      int64_t{y} + sprite_height > bg_height) {
    return "the " + std::to_string(sprite_width) + "x" + std::to_string(sprite_height) +
           " sprite at " + std::to_string(x) + "," + std::to_string(y) +
           " does not fit inside the " + std::to_string(bg_width) + "x" +
           std::to_string(bg_height) + " background (sprites are never clipped)";
  }
  return std::string();
}

std::string CheckRectFits(int32_t width, int32_t height, const Rect& rect) {
  if (rect.width < 1 || rect.height < 1) {
    return "--rect needs a width and a height of at least 1";
  }
  if (rect.x < 0 || rect.y < 0 || int64_t{rect.x} + rect.width > width ||
      int64_t{rect.y} + rect.height > height) {
    return "the rectangle " + std::to_string(rect.x) + "," + std::to_string(rect.y) + "," +
           std::to_string(rect.width) + "," + std::to_string(rect.height) +
           " does not fit inside the " + std::to_string(width) + "x" + std::to_string(height) +
           " picture (rectangles are never clipped)";
  }
  return std::string();
}

std::string HelpText() {
  return R"(glimfx-demo: shows what the glimfx library does to a picture.

Usage:
  glimfx-demo alpha BACKGROUND.png SPRITE.png -o OUT.png [--at X,Y] [options]
  glimfx-demo noche INPUT.png -o OUT.png [--rect X,Y,W,H] [--times N] [options]
  glimfx-demo convert INPUT.png -o OUT.png [options]
  glimfx-demo --help | --version

Commands:
  alpha    Lays SPRITE over BACKGROUND at half opacity with BltAlphaFast.
           Black sprite pixels (and fully transparent ones) are the key
           colour and are not drawn. The sprite's top-left corner goes to
           X,Y (default 0,0). The sprite must lie wholly inside the
           background: one that is larger or placed partly outside is
           refused with an error, never clipped.
  noche    Darkens the picture with BltEfectoNoche, N times (default 1,
           at most 1000), over the rectangle X,Y,W,H (default: the whole
           picture). The rectangle must lie wholly inside the picture.
  convert  Only converts into the pixel layout and back, to show what the
           layout alone does to the colours.

Options:
  -o, --output OUT.png  Where to write the result. It is written to a
                        temporary file beside OUT.png and then renamed, so
                        a failed run never leaves a partial file.
  --format F            Pixel layout of the surfaces: 555, 565 (default),
                        24 or 32.
  --bottom-up           Store the surfaces bottom-up and pass a negative
                        pitch, as a game drawing into a bottom-up bitmap
                        does. The result is the same picture.
  --library PATH        Load the library from PATH instead of searching.
                        Without it the demo looks beside its own program,
                        then (Linux) in ../lib beside it, then in the
                        system's library search path.

The pictures are read and written as 8-bit RGB PNG files; the colours are
reduced to the chosen layout before the library runs.

Exit status: 0 on success, 1 when something fails (a file cannot be read
or written, a picture is not a PNG, the library cannot be loaded or
rejects the call), 2 for a bad command line. Errors are one line on
standard error.

Examples:
  glimfx-demo alpha assets/background.png assets/sprite.png --at 40,24 --format 565 -o out.png
  glimfx-demo noche assets/background.png --format 24 -o night.png
  glimfx-demo noche assets/background.png --rect 10,10,64,48 --times 3 --format 555 -o dusk.png
  glimfx-demo convert assets/background.png --format 555 -o before-555.png
)";
}

}  // namespace glimfx_demo

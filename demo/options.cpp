#include "options.h"

#include <CLI/CLI.hpp>
#include <vector>

namespace glimfx_demo {

namespace {

constexpr char kFooter[] = R"(Sprites and rectangles must lie wholly inside the picture: one that is
larger or placed partly outside is refused with an error, never clipped.

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

// The names --format takes, with their pixel format codes.
constexpr struct {
  const char* name;
  uint32_t code;
} kFormats[] = {{"555", glimfx::kFormat555},
                {"565", glimfx::kFormat565},
                {"24", glimfx::kFormat24},
                {"32", glimfx::kFormat32}};

// Adds the input pictures and the options every command takes.
CLI::App* AddCommand(CLI::App* app, const char* name, const char* description,
                     const char* input_name, Options* options) {
  CLI::App* command = app->add_subcommand(name, description);
  command->add_option(input_name, options->input, "The picture to start from.")
      ->required()
      ->type_name("PNG");
  command
      ->add_option("-o,--output", options->output,
                   "Where to write the result. It is written to a\n"
                   "temporary file beside it and then renamed, so a\n"
                   "failed run never leaves a partial file.")
      ->required()
      ->type_name("OUT.png");
  command
      ->add_option_function<std::string>(
          "--format",
          [options](const std::string& text) {
            for (const auto& format : kFormats) {
              if (text == format.name) {
                options->format = format.code;
                return;
              }
            }
            throw CLI::ValidationError("unknown format '" + text +
                                       "' (expected 555, 565, 24 or 32)");
          },
          "Pixel layout of the surfaces: 555, 565 (default),\n24 or 32.")
      ->type_name("F");
  command->add_flag("--bottom-up", options->bottom_up,
                    "Store the surfaces bottom-up and pass a negative\n"
                    "pitch, as a game drawing into a bottom-up bitmap\n"
                    "does. The result is the same picture.");
  command
      ->add_option("--library", options->library,
                   "Load the library from PATH instead of searching.\n"
                   "Without it the demo looks beside its own program,\n"
                   "then (Linux) in ../lib beside it, then in the\n"
                   "system's library search path.")
      ->type_name("PATH");
  return command;
}

}  // namespace

const char* FormatName(uint32_t code) {
  for (const auto& format : kFormats) {
    if (format.code == code) return format.name;
  }
  return "?";
}

bool ParseOptions(int argc, const char* const* argv, Options* options, std::string* error) {
  *options = Options();
  CLI::App app("glimfx-demo: shows what the glimfx library does to a picture.", "glimfx-demo");
  app.set_version_flag("--version", "", "Print the program's version and exit");
  app.require_subcommand(0, 1);
  // Paths may start with a slash (Wine hands Unix paths through), so a
  // slash never starts an option; the commands below inherit this.
  app.allow_windows_style_options(false);

  CLI::App* alpha = AddCommand(&app, "alpha",
                               "Lays SPRITE over BACKGROUND at half opacity with\n"
                               "BltAlphaFast. Black sprite pixels (and fully\n"
                               "transparent ones) are the key colour and are not\n"
                               "drawn. The sprite's top-left corner goes to X,Y\n"
                               "(default 0,0); it is never clipped.",
                               "BACKGROUND", options);
  alpha->add_option("SPRITE", options->sprite, "The picture to lay over it.")
      ->required()
      ->type_name("PNG");
  alpha
      ->add_option_function<std::vector<int32_t>>(
          "--at",
          [options](const std::vector<int32_t>& xy) {
            options->at_x = xy[0];
            options->at_y = xy[1];
          },
          "Where the sprite's top-left corner goes, as X,Y.")
      ->delimiter(',')
      ->expected(2)
      ->type_name("INT");

  CLI::App* noche = AddCommand(&app, "noche",
                               "Darkens the picture with BltEfectoNoche, N times\n"
                               "(default 1, at most 1000), over the rectangle\n"
                               "X,Y,W,H (default: the whole picture).",
                               "INPUT", options);
  noche
      ->add_option_function<std::vector<int32_t>>(
          "--rect",
          [options](const std::vector<int32_t>& r) {
            options->rect = Rect{r[0], r[1], r[2], r[3]};
            options->has_rect = true;
          },
          "The rectangle to darken, as X,Y,W,H.")
      ->delimiter(',')
      ->expected(4)
      ->type_name("INT");
  noche->add_option("--times", options->times, "How many times to darken it.")
      ->check(CLI::Range(1, kMaxTimes))
      ->type_name("N");

  CLI::App* convert = AddCommand(&app, "convert",
                                 "Only converts into the pixel layout and back, to\n"
                                 "show what the layout alone does to the colours.",
                                 "INPUT", options);
  app.footer(kFooter);

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    options->command = Command::kHelp;
    options->help = app.help();
    return true;
  } catch (const CLI::CallForVersion&) {
    options->command = Command::kVersion;
    return true;
  } catch (const CLI::ParseError& e) {
    *error = e.what();
    // A first word that is no command is left over by name.
    if (app.get_subcommands().empty() && !app.remaining().empty()) {
      *error = "unknown command '" + app.remaining()[0] + "' (expected alpha, noche or convert)";
    }
    return false;
  }
  if (alpha->parsed()) {
    options->command = Command::kBlend;
  } else if (noche->parsed()) {
    options->command = Command::kNight;
  } else if (convert->parsed()) {
    options->command = Command::kConvert;
  } else {
    *error = "no command given (expected alpha, noche or convert; try --help)";
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

}  // namespace glimfx_demo

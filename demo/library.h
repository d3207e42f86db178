// Finds and binds the glimfx library at run time, the way a game does: by
// file name, then each export by name.
#ifndef GLIMFX_TOOLS_DEMO_LIBRARY_H_
#define GLIMFX_TOOLS_DEMO_LIBRARY_H_

#include <string>
#include <vector>

#include "glimfx.h"

namespace glimfx_demo {

struct GlimfxLibrary {
  std::string path;  // what was handed to the loader
  GlimfxBltAlphaFastFn blt_alpha_fast = nullptr;
  GlimfxBltEfectoNocheFn blt_efecto_noche = nullptr;
};

// Where to look, in order: only `explicit_path` when given; otherwise the
// program's folder, then `lib_dir_too` ../lib beside it, then the bare name
// for the system's own search.
std::vector<std::string> LibraryCandidates(const std::string& explicit_path,
                                           const std::string& exe_dir, const std::string& name,
                                           char separator, bool lib_dir_too);

// The file name of the library on this platform.
const char* LibraryFileName();

// The library stays loaded until the process ends.
bool LoadGlimfx(const std::string& explicit_path, GlimfxLibrary* library, std::string* error);

}  // namespace glimfx_demo

#endif  // GLIMFX_TOOLS_DEMO_LIBRARY_H_

#include "library.h"

#include "platform.h"

namespace glimfx_demo {

std::vector<std::string> LibraryCandidates(const std::string& explicit_path,
                                           const std::string& exe_dir, const std::string& name,
                                           char separator, bool lib_dir_too) {
  if (!explicit_path.empty()) return {explicit_path};
  std::vector<std::string> candidates;
  if (!exe_dir.empty()) {
    candidates.push_back(exe_dir + separator + name);
    if (lib_dir_too) {
      candidates.push_back(exe_dir + separator + ".." + separator + "lib" + separator + name);
    }
  }
  candidates.push_back(name);
  return candidates;
}

const char* LibraryFileName() { return GLIMFX_DEMO_LIBRARY_NAME; }

bool LoadGlimfx(const std::string& explicit_path, GlimfxLibrary* library, std::string* error) {
#ifdef _WIN32
  const bool lib_dir_too = false;  // Windows finds DLLs beside the program, not in ../lib
#else
  const bool lib_dir_too = true;
#endif
  const std::vector<std::string> candidates = LibraryCandidates(
      explicit_path, ExecutableDir(), LibraryFileName(), kPathSeparator, lib_dir_too);
  std::string reason;
  for (const std::string& candidate : candidates) {
    void* handle = OpenLibrary(candidate, &reason);
    if (handle == nullptr) continue;
    library->path = candidate;
    library->blt_alpha_fast =
        reinterpret_cast<GlimfxBltAlphaFastFn>(FindExport(handle, "BltAlphaFast"));
    library->blt_efecto_noche =
        reinterpret_cast<GlimfxBltEfectoNocheFn>(FindExport(handle, "BltEfectoNoche"));
    if (library->blt_alpha_fast == nullptr || library->blt_efecto_noche == nullptr) {
      *error = candidate + " was loaded but does not export " +
               (library->blt_alpha_fast == nullptr ? "BltAlphaFast" : "BltEfectoNoche");
      return false;
    }
    return true;
  }
  if (!explicit_path.empty()) {
    *error = "cannot load the glimfx library from " + explicit_path + ": " + reason;
    return false;
  }
  // Every candidate but the bare name is a folder plus the file name.
  const size_t name_length = std::string(LibraryFileName()).size() + 1;
  std::string places;
  for (size_t i = 0; i + 1 < candidates.size(); ++i) {
    places += (i == 0 ? "" : ", ") + candidates[i].substr(0, candidates[i].size() - name_length);
  }
  *error = std::string("cannot load the glimfx library: looked for ") + LibraryFileName() +
           (places.empty() ? " " : " in " + places + " and ") +
           "in the system's library search path (use --library PATH)";
  return false;
}

}  // namespace glimfx_demo

// The few operating-system services the demo needs. Each platform has one
// source; the rest of the program is plain C++ over this header.
#ifndef GLIMFX_TOOLS_DEMO_PLATFORM_H_
#define GLIMFX_TOOLS_DEMO_PLATFORM_H_

#include <cstdint>
#include <string>
#include <vector>

namespace glimfx_demo {

extern const char kPathSeparator;

// Folder holding the running program, without a trailing separator; empty
// when it cannot be found.
std::string ExecutableDir();

// Opens a shared library; null with the loader's reason when it fails.
void* OpenLibrary(const std::string& path_or_name, std::string* reason);
void* FindExport(void* library, const char* name);

// Writes `bytes` to a new file beside `target`, then renames it over
// `target`, so readers see the old file or the whole new one.
bool ReplaceFileWith(const std::string& target, const std::vector<uint8_t>& bytes,
                     std::string* error);

}  // namespace glimfx_demo

#endif  // GLIMFX_TOOLS_DEMO_PLATFORM_H_

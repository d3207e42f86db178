#include "program_folder.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <vector>

namespace ocxfixer {

bool EnterProgramFolder() {
  // Wide calls and a growing buffer: the game may sit in a folder whose name
  // is not in the ANSI code page or is longer than MAX_PATH.
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return false;
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    if (path.size() >= 32768) return false;
    path.resize(path.size() * 2);
  }
  size_t cut = path.size();
  while (cut > 0 && path[cut - 1] != L'\\' && path[cut - 1] != L'/') --cut;
  if (cut == 0) return false;
  // Keep the separator of a drive root ("c:\"), drop it elsewhere.
  if (cut > 1 && path[cut - 2] != L':') --cut;
  path.resize(cut);
  path.push_back(L'\0');
  return SetCurrentDirectoryW(path.data()) != 0;
}

}  // namespace ocxfixer

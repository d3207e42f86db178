#include "program_folder.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace ocxfixer {
namespace {

// The longest path the wide calls accept: the game may sit in a folder whose
// name is not in the ANSI code page or is longer than MAX_PATH.
constexpr DWORD kLongestPath = 32768;
wchar_t module_path[kLongestPath];

}  // namespace

size_t ProgramFolderLength(const wchar_t* path, size_t length) {
  size_t cut = length;
  while (cut > 0 && path[cut - 1] != L'\\' && path[cut - 1] != L'/') --cut;
  if (cut == 0) return 0;
  if (cut > 1 && path[cut - 2] != L':') --cut;
  return cut;
}

bool EnterProgramFolder() {
  // A length of the whole buffer means the name was cut (and, on XP, left
  // unterminated).
  const DWORD length = GetModuleFileNameW(nullptr, module_path, kLongestPath);
  if (length == 0 || length >= kLongestPath) return false;
  const size_t cut = ProgramFolderLength(module_path, length);
  if (cut == 0) return false;
  module_path[cut] = L'\0';
  return SetCurrentDirectoryW(module_path) != 0;
}

}  // namespace ocxfixer

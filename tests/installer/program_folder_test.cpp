// The folder the installer enters: the one that holds its own file, a
// drive's root included (a player's USB stick).
#include "program_folder.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

namespace ocxfixer {
namespace {

std::wstring FolderOf(const wchar_t* path) {
  return std::wstring(path, ProgramFolderLength(path, std::wcslen(path)));
}

TEST(ProgramFolder, CutsTheFileNameAndKeepsADriveRoot) {
  EXPECT_EQ(L"c:\\juegos\\drakmora\\dkproblemas",
            FolderOf(L"c:\\juegos\\drakmora\\dkproblemas\\ocxfixer.exe"));
  EXPECT_EQ(L"e:\\", FolderOf(L"e:\\ocxfixer.exe"));
  EXPECT_EQ(L"\\\\servidor\\juegos", FolderOf(L"\\\\servidor\\juegos\\ocxfixer.exe"));
  EXPECT_EQ(L"c:/juegos", FolderOf(L"c:/juegos/ocxfixer.exe"));
  EXPECT_EQ(L"", FolderOf(L"ocxfixer.exe"));
}

}  // namespace
}  // namespace ocxfixer

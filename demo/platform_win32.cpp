#include <windows.h>

#include "platform.h"

namespace glimfx_demo {

namespace {

std::string LastErrorText() {
  const DWORD code = GetLastError();
  char* text = nullptr;
  const DWORD n = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = n > 0 ? std::string(text, n) : "error " + std::to_string(code);
  if (text != nullptr) LocalFree(text);
  // System messages end with a line break; errors here are one line.
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  return message;
}

}  // namespace

const char kPathSeparator = '\\';

std::string ExecutableDir() {
  char buffer[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return std::string();
  const std::string path(buffer, n);
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

void* OpenLibrary(const std::string& path_or_name, std::string* reason) {
  HMODULE module = LoadLibraryA(path_or_name.c_str());
  if (module == nullptr) *reason = LastErrorText();
  return reinterpret_cast<void*>(module);
}

void* FindExport(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

bool ReplaceFileWith(const std::string& target, const std::vector<uint8_t>& bytes,
                     std::string* error) {
  const size_t slash = target.find_last_of("\\/");
  const std::string dir = slash == std::string::npos ? "." : target.substr(0, slash);
  char temp[MAX_PATH];
  if (GetTempFileNameA(dir.c_str(), "gfx", 0, temp) == 0) {
    *error = "cannot create a temporary file in " + dir + ": " + LastErrorText();
    return false;
  }
  HANDLE file =
      CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  bool ok = file != INVALID_HANDLE_VALUE;
  size_t done = 0;
  while (ok && done < bytes.size()) {
    DWORD written = 0;
    const DWORD chunk =
        static_cast<DWORD>(bytes.size() - done > 1u << 30 ? 1u << 30 : bytes.size() - done);
    ok = WriteFile(file, bytes.data() + done, chunk, &written, nullptr) && written > 0;
    done += written;
  }
  ok = ok && FlushFileBuffers(file);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  if (ok && MoveFileExA(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  *error = "cannot write " + target + ": " + LastErrorText();
  DeleteFileA(temp);
  return false;
}

}  // namespace glimfx_demo

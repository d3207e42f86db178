#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform.h"

namespace glimfx_demo {

const char kPathSeparator = '/';

std::string ExecutableDir() {
  char buffer[4096];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return std::string();
  const std::string path(buffer, static_cast<size_t>(n));
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

void* OpenLibrary(const std::string& path_or_name, std::string* reason) {
  void* handle = dlopen(path_or_name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* why = dlerror();
    *reason = why != nullptr ? why : "unknown loader error";
  }
  return handle;
}

void* FindExport(void* library, const char* name) { return dlsym(library, name); }

bool ReplaceFileWith(const std::string& target, const std::vector<uint8_t>& bytes,
                     std::string* error) {
  const size_t slash = target.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : target.substr(0, slash);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string temp = dir + "/." + base + ".XXXXXX";
  const int fd = mkstemp(&temp[0]);
  if (fd < 0) {
    *error = "cannot create a temporary file in " + dir + ": " + std::strerror(errno);
    return false;
  }
  // mkstemp makes the file private; give it the mode a plain create would.
  const mode_t mask = umask(0);
  umask(mask);
  bool ok = fchmod(fd, 0666 & ~mask) == 0;
  size_t done = 0;
  while (ok && done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<size_t>(n);
  }
  ok = ok && fsync(fd) == 0;
  const int saved = errno;
  ok = (close(fd) == 0) && ok;
  if (ok && std::rename(temp.c_str(), target.c_str()) == 0) return true;
  *error = "cannot write " + target + ": " + std::strerror(ok ? errno : saved);
  unlink(temp.c_str());
  return false;
}

}  // namespace glimfx_demo

// libFuzzer entry: every input is one case; any path that differs from the
// scalar one stops the run with the case's description.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "blit_diff.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string failure = glimfx_fuzz::CheckInput(data, size);
  if (!failure.empty()) {
    std::fprintf(stderr, "%s\n", failure.c_str());
    std::abort();
  }
  return 0;
}

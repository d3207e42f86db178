// libFuzzer entry: every input is one case, drawn from the input's bytes and
// checked on every path and the exports; a failure stops the run with the
// case's description.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "path_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string failure =
      glimfx_test::CheckEverywhere(glimfx_test::CaseFromFuzzInput(data, size));
  if (!failure.empty()) {
    std::fprintf(stderr, "%s\n", failure.c_str());
    std::abort();
  }
  return 0;
}

// Runs the fuzz target without libFuzzer, so it also runs where libFuzzer
// does not (the Windows builds under Wine). Arguments are input files or
// directories of them (a corpus); with none, a built-in seed set is checked.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "path_targets.h"
#include "rng.h"

namespace {

int checked = 0;
int failures = 0;

void Check(const std::vector<uint8_t>& input, const std::string& name) {
  const std::string failure =
      glimfx_test::CheckEverywhere(glimfx_test::CaseFromFuzzInput(input.data(), input.size()));
  ++checked;
  if (failure.empty()) return;
  ++failures;
  std::fprintf(stderr, "%s: %s\n", name.c_str(), failure.c_str());
}

void CheckFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> input((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
  Check(input, path.string());
}

// Every byte of the case header swept through its range once, then inputs
// made by a fixed generator, so each run checks the same cases. This is the
// one place random inputs are checked: every build runs it under ctest, and
// the fuzz build runs it before fuzzing.
void CheckSeeds() {
  for (size_t pos = 0; pos < 10; ++pos) {
    for (int v = 0; v < 256; v += 7) {
      std::vector<uint8_t> input = {0x00, 0x21, 0x80, 0x02, 0x13, 0x05, 0x31, 0x60, 0x20, 0x01};
      input[pos] = static_cast<uint8_t>(v);
      for (int routine = 0; routine < 2; ++routine) {
        input[0] = static_cast<uint8_t>((input[0] & ~1) | routine);
        Check(input, "sweep " + std::to_string(pos) + "=" + std::to_string(v));
      }
    }
  }
  glimfx_test::Rng rng(0x5EED);
  for (int i = 0; i < 7000; ++i) {
    std::vector<uint8_t> input(12);
    for (auto& b : input) b = rng.NextByte();
    Check(input, "seed " + std::to_string(i));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) CheckSeeds();
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path path(argv[i]);
    if (!std::filesystem::is_directory(path)) {
      CheckFile(path);
      continue;
    }
    for (const auto& entry : std::filesystem::directory_iterator(path)) {
      if (entry.is_regular_file()) CheckFile(entry.path());
    }
  }
  std::printf("%d inputs, %d failures\n", checked, failures);
  return failures == 0 ? 0 : 1;
}

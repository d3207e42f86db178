// A host program on Linux: loads libglimfx.so by name, binds both exports by
// name, calls them, and checks that nothing else is exported.
#include <dlfcn.h>
#include <elf.h>
#include <gtest/gtest.h>
#include <link.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "glimfx.h"
#include "harness.h"

namespace glimfx_test {
namespace {

void* Library() {
  static void* handle = dlopen("libglimfx.so", RTLD_NOW | RTLD_LOCAL);
  return handle;
}

class LoadedLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(nullptr, Library()) << dlerror();
    alpha_ = reinterpret_cast<GlimfxBltAlphaFastFn>(dlsym(Library(), "BltAlphaFast"));
    night_ = reinterpret_cast<GlimfxBltEfectoNocheFn>(dlsym(Library(), "BltEfectoNoche"));
    ASSERT_NE(nullptr, alpha_);
    ASSERT_NE(nullptr, night_);
  }
  GlimfxBltAlphaFastFn alpha_ = nullptr;
  GlimfxBltEfectoNocheFn night_ = nullptr;
};

TEST_F(LoadedLibrary, BehavesLikeTheModel) {
  EXPECT_EQ("", CheckBehaviour({"libglimfx.so", alpha_, night_}, 0xD10001, 1000));
}

// Defined symbols that other modules can bind to, read from the file's
// dynamic symbol table.
std::set<std::string> DynamicExports(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
  std::set<std::string> names;
  if (bytes.size() < sizeof(Elf64_Ehdr)) return names;
  Elf64_Ehdr header;
  std::memcpy(&header, bytes.data(), sizeof header);
  for (int i = 0; i < header.e_shnum; ++i) {
    Elf64_Shdr section;
    std::memcpy(&section, bytes.data() + header.e_shoff + i * header.e_shentsize, sizeof section);
    if (section.sh_type != SHT_DYNSYM) continue;
    Elf64_Shdr strings;
    std::memcpy(&strings, bytes.data() + header.e_shoff + section.sh_link * header.e_shentsize,
                sizeof strings);
    for (size_t at = section.sh_offset;
         at + sizeof(Elf64_Sym) <= section.sh_offset + section.sh_size; at += sizeof(Elf64_Sym)) {
      Elf64_Sym sym;
      std::memcpy(&sym, bytes.data() + at, sizeof sym);
      const int bind = ELF64_ST_BIND(sym.st_info);
      if (sym.st_shndx == SHN_UNDEF || (bind != STB_GLOBAL && bind != STB_WEAK) ||
          ELF64_ST_VISIBILITY(sym.st_other) != STV_DEFAULT) {
        continue;
      }
      names.insert(bytes.data() + strings.sh_offset + sym.st_name);
    }
  }
  return names;
}

TEST_F(LoadedLibrary, ExportsOnlyTheTwoRoutines) {
  link_map* map = nullptr;
  ASSERT_EQ(0, dlinfo(Library(), RTLD_DI_LINKMAP, &map));
  const std::set<std::string> exported = DynamicExports(map->l_name);
  EXPECT_EQ((std::set<std::string>{"BltAlphaFast", "BltEfectoNoche"}), exported)
      << "read from " << map->l_name;
}

}  // namespace
}  // namespace glimfx_test

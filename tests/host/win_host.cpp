// A host program as the library's users write one: it loads glimfx.dll by
// name at run time, binds the exports by name and by ordinal, and calls them.
// It checks the export table and imports of the loaded image, the calling
// convention, and the routines' behaviour (the x87 state after each call
// included).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "glimfx.h"
#include "harness.h"
#include "stack_probe.h"

namespace glimfx_test {
namespace {

HMODULE Library() {
  static HMODULE module = LoadLibraryA("glimfx.dll");
  return module;
}

GlimfxBltAlphaFastFn AlphaExport() {
  return reinterpret_cast<GlimfxBltAlphaFastFn>(
      reinterpret_cast<void*>(GetProcAddress(Library(), "BltAlphaFast")));
}

GlimfxBltEfectoNocheFn NightExport() {
  return reinterpret_cast<GlimfxBltEfectoNocheFn>(
      reinterpret_cast<void*>(GetProcAddress(Library(), "BltEfectoNoche")));
}

class LoadedLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(nullptr, Library()) << "LoadLibrary(\"glimfx.dll\") failed, error " << GetLastError();
    ASSERT_NE(nullptr, AlphaExport());
    ASSERT_NE(nullptr, NightExport());
  }
};

TEST_F(LoadedLibrary, NameAndOrdinalGiveTheSameAddress) {
  const FARPROC alpha_by_ordinal = GetProcAddress(Library(), MAKEINTRESOURCEA(1));
  const FARPROC night_by_ordinal = GetProcAddress(Library(), MAKEINTRESOURCEA(2));
  EXPECT_EQ(reinterpret_cast<void*>(alpha_by_ordinal), reinterpret_cast<void*>(AlphaExport()));
  EXPECT_EQ(reinterpret_cast<void*>(night_by_ordinal), reinterpret_cast<void*>(NightExport()));
  EXPECT_NE(reinterpret_cast<void*>(AlphaExport()), reinterpret_cast<void*>(NightExport()));
  EXPECT_EQ(nullptr, GetProcAddress(Library(), MAKEINTRESOURCEA(3)));
  // Decorated names must not be exported besides the plain ones.
  EXPECT_EQ(nullptr, GetProcAddress(Library(), "BltAlphaFast@28"));
  EXPECT_EQ(nullptr, GetProcAddress(Library(), "_BltAlphaFast@28"));
  EXPECT_EQ(nullptr, GetProcAddress(Library(), "BltEfectoNoche@20"));
}

const uint8_t* ImageBase() { return reinterpret_cast<const uint8_t*>(Library()); }

TEST_F(LoadedLibrary, ExportTableHoldsExactlyTheUndecoratedNamesAtOrdinalsOneAndTwo) {
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(ImageBase());
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(ImageBase() + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  ASSERT_NE(0u, dir.VirtualAddress);
  const auto* exports =
      reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(ImageBase() + dir.VirtualAddress);
  EXPECT_STREQ("glimfx.dll", reinterpret_cast<const char*>(ImageBase() + exports->Name));
  EXPECT_EQ(1u, exports->Base);
  ASSERT_EQ(2u, exports->NumberOfFunctions);
  ASSERT_EQ(2u, exports->NumberOfNames);
  const auto* names = reinterpret_cast<const DWORD*>(ImageBase() + exports->AddressOfNames);
  const auto* ordinals =
      reinterpret_cast<const WORD*>(ImageBase() + exports->AddressOfNameOrdinals);
  const auto* functions = reinterpret_cast<const DWORD*>(ImageBase() + exports->AddressOfFunctions);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    const std::string name = reinterpret_cast<const char*>(ImageBase() + names[i]);
    const DWORD ordinal = exports->Base + ordinals[i];
    const void* address = ImageBase() + functions[ordinals[i]];
    if (name == "BltAlphaFast") {
      EXPECT_EQ(1u, ordinal);
      EXPECT_EQ(reinterpret_cast<void*>(AlphaExport()), address);
    } else if (name == "BltEfectoNoche") {
      EXPECT_EQ(2u, ordinal);
      EXPECT_EQ(reinterpret_cast<void*>(NightExport()), address);
    } else {
      ADD_FAILURE() << "unexpected export \"" << name << "\" at ordinal " << ordinal;
    }
  }
}

// Every call through the exports is followed by the x87 check as well.
TEST_F(LoadedLibrary, BehavesLikeTheModel) {
  const std::string path = sizeof(void*) == 4 ? "glimfx.dll (32-bit)" : "glimfx.dll (64-bit)";
  EXPECT_EQ("", CheckBehaviour({path, AlphaExport(), NightExport()}, 0x40570001, 2000));
}

#ifdef GLIMFX_HAVE_STACK_PROBE

// Seven arguments as the half-blend takes them; one removes them, the other
// leaves them to its caller.
int32_t __stdcall CalleeCleans(uint32_t a, uint32_t b, uint32_t, uint32_t, uint32_t, uint32_t,
                               uint32_t g) {
  return static_cast<int32_t>(a + 2 * b + 3 * g);
}
int32_t __cdecl CallerCleans(uint32_t a, uint32_t b, uint32_t, uint32_t, uint32_t, uint32_t,
                             uint32_t g) {
  return static_cast<int32_t>(a + 2 * b + 3 * g);
}

TEST(StackProbe, TellsCalleeCleanupFromCallerCleanup) {
  const uint32_t args[7] = {1, 10, 0, 0, 0, 0, 100};
  int32_t shift = 1;
  EXPECT_EQ(321,
            GlimfxCallCounted(reinterpret_cast<const void*>(&CalleeCleans), args, 7, 0, &shift));
  EXPECT_EQ(0, shift);
  EXPECT_EQ(321,
            GlimfxCallCounted(reinterpret_cast<const void*>(&CallerCleans), args, 7, 0, &shift));
  EXPECT_EQ(-28, shift);
}

TEST(StackProbe, EntersAtEveryResidueModulo16) {
  const uint32_t args[7] = {};
  for (const int32_t residue : kEntryResidues) {
    int32_t shift = 1;
    EXPECT_EQ(residue, GlimfxCallCounted(reinterpret_cast<const void*>(&GlimfxEntryResidue), args,
                                         7, residue, &shift));
    EXPECT_EQ(0, shift) << "residue " << residue;
  }
}

// Each export, entered at every stack residue modulo 16, gives the model's
// results and removes exactly its arguments on every return path.
TEST_F(LoadedLibrary, ExportsWorkAndRemoveTheirArgumentsAtEveryStackResidue) {
  for (const int32_t residue : kEntryResidues) {
    StackLog log;
    const Target probed{
        "glimfx.dll entered at stack residue " + std::to_string(residue),
        ProbedBlend(reinterpret_cast<const void*>(AlphaExport()), {}, residue, 0, &log),
        ProbedNight(reinterpret_cast<const void*>(NightExport()), {}, residue, 0, &log)};
    const std::string failure = CheckThroughProbe(probed, log, 0x57DC + residue);
    EXPECT_TRUE(failure.empty()) << failure;
  }
}

#endif

}  // namespace
}  // namespace glimfx_test

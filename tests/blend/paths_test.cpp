// The path lookup. Results alone cannot show which path ran (every path gives
// the scalar result), so this checks that each instruction set the processor
// runs reaches a table of its own, with its own rectangle for every layout of
// both routines.
#include "paths.h"

#include <gtest/gtest.h>

#include <set>

#include "isa_param.h"
#include "pixel_format.h"

namespace glimfx_test {
namespace {

using glimfx::Isa;
using glimfx::kLayoutCount;
using glimfx::PathTable;

const PathTable& TableOf(Isa isa) { return *glimfx::kPathsByIsa[static_cast<int>(isa)]; }

TEST(PathTables, EveryUsablePathHasItsOwnRectangles) {
  std::set<const void*> seen;
  for (Isa isa : kAllIsas) {
    if (!glimfx::IsaSupported(isa)) continue;
    const PathTable& table = TableOf(isa);
    for (int32_t i = 0; i < kLayoutCount; ++i) {
      ASSERT_NE(nullptr, table.blend[i]) << glimfx::IsaName(isa) << " blend, layout " << i;
      ASSERT_NE(nullptr, table.night[i]) << glimfx::IsaName(isa) << " night, layout " << i;
      // Shared by no other layout, routine or instruction set.
      EXPECT_TRUE(seen.insert(reinterpret_cast<const void*>(table.blend[i])).second)
          << glimfx::IsaName(isa) << " blend, layout " << i << " reuses another rectangle";
      EXPECT_TRUE(seen.insert(reinterpret_cast<const void*>(table.night[i])).second)
          << glimfx::IsaName(isa) << " night, layout " << i << " reuses another rectangle";
    }
  }
  EXPECT_EQ(&glimfx::kScalarPaths, &TableOf(Isa::kScalar));
}

TEST(PathTables, LayoutsFollowTheFormatCodes) {
  for (int32_t i = 0; i < kLayoutCount; ++i) {
    EXPECT_EQ(i, glimfx::LayoutIndex(glimfx::kAllFormats[i]));
  }
  for (uint32_t rejected : {2u, 5u, 0xFFFFFFFFu}) {
    EXPECT_EQ(-1, glimfx::LayoutIndex(rejected)) << rejected;
  }
}

// Rows without gaps are joined into one only while the pixels fit a row's
// count: 65536 x 32768 would wrap it (no test can own such a surface).
TEST(NightRowsJoin, OnlyGapFreeRowsWhosePixelsFitOneCount) {
  using glimfx::NightRowsJoin;
  EXPECT_TRUE(NightRowsJoin(65536, 32767, 131072, kFormat555));
  EXPECT_FALSE(NightRowsJoin(65536, 32768, 131072, kFormat555));
  EXPECT_FALSE(NightRowsJoin(32768, 65536, 131072, kFormat32));
  EXPECT_FALSE(NightRowsJoin(6, 2, 12, kFormat565)) << "groups of four would move";
  EXPECT_TRUE(NightRowsJoin(8, 2, 16, kFormat565));
}

}  // namespace
}  // namespace glimfx_test

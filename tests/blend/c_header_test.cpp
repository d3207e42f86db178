#include <gtest/gtest.h>

extern "C" int GlimfxCHeaderRoundTrip(void);

namespace {

// Nonzero names the step of the C caller that went wrong.
TEST(PublicHeader, CallableFromC) { EXPECT_EQ(0, GlimfxCHeaderRoundTrip()); }

}  // namespace

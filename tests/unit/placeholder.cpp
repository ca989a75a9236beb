#include <gtest/gtest.h>
TEST(UnitSmoke, Nothing) { EXPECT_TRUE(true); }

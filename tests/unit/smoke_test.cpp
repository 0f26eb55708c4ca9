#include <gtest/gtest.h>

#include "text/number_format.h"

TEST(NumberFormat, Lg) {
    EXPECT_EQ(zuva::format_lg(0.8), "0.8");
}

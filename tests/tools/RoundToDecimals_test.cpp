#include "tools/RoundToDecimals.h"

#include <gtest/gtest.h>

using vocalix::tools::RoundToDecimals;

TEST(RoundToDecimals, HalvesToEvenShortestFormWithPoint) {
    struct Case {
        double value;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        {2.5, 0, "2"},      {3.5, 0, "4"},    {97.65625, 0, "98"}, {2.5, 1, "2.5"},
        {2.25, 1, "2.2"},   {2.75, 1, "2.8"}, {1.0, 2, "1"},       {1.10, 2, "1.1"},
        {0.0, 3, "0"},      {-0.4, 0, "0"},   {-1.5, 0, "-2"},     {123456.789, 2, "123456.79"},
        {0.125, 2, "0.12"}, {10.0, 0, "10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(RoundToDecimals(c.value, c.decimals), c.text);
    }
}

#include "SecondsToText.h"

#include <gtest/gtest.h>

#include <limits>

using namespace dormivo;

TEST(SecondsToText, WritesTheLargestUnitsFirstAndLeavesOutZeros) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {std::numeric_limits<std::int32_t>::min(), "0 seconds"},
        {-5, "0 seconds"},
        {0, "0 seconds"},
        {1, "1 second"},
        {2, "2 seconds"},
        {59, "59 seconds"},
        {60, "1 minute"},
        {61, "1 minute, 1 second"},
        {65, "1 minute, 5 seconds"},
        {120, "2 minutes"},
        {1260, "21 minutes"},
        {3600, "1 hour"},
        {3601, "1 hour, 1 second"},
        {3660, "1 hour, 1 minute"},
        {3661, "1 hour, 1 minute, 1 second"},
        {7201, "2 hours, 1 second"},
        {39600, "11 hours"},
        {86400, "1 day"},
        {86401, "1 day, 1 second"},
        {86460, "1 day, 1 minute"},
        {90000, "1 day, 1 hour"},
        {172800, "2 days"},
        {183600, "2 days, 3 hours"},
        {604800, "7 days"},
        {std::numeric_limits<std::int32_t>::max(), "24855 days, 3 hours, 14 minutes, 7 seconds"},
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(SecondsToText(seconds), text) << seconds;
}

TEST(SecondsToText, OnlyExactlyOneIsSingular) {
    EXPECT_EQ(PluralSuffix(1), "");
    for (std::int64_t count : {0, 2, 11, 21, -1})
        EXPECT_EQ(PluralSuffix(count), "s") << count;
}

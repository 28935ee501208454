#include "countdown/SecondsToText.h"

#include <gtest/gtest.h>

#include <limits>

using namespace dormivo;

TEST(SecondsToText, WritesTheLargestUnitsFirstAndLeavesOutZeros) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {std::numeric_limits<std::int32_t>::min(), "0 seconds"},
        {0, "0 seconds"},
        {1, "1 second"},
        {60, "1 minute"},
        {61, "1 minute, 1 second"},
        {120, "2 minutes"},
        {3600, "1 hour"},
        {3601, "1 hour, 1 second"},
        {3661, "1 hour, 1 minute, 1 second"},
        {86400, "1 day"},
        {90000, "1 day, 1 hour"},
        {183600, "2 days, 3 hours"},
        {std::numeric_limits<std::int32_t>::max(), "24855 days, 3 hours, 14 minutes, 7 seconds"},
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(SecondsToText(seconds), text) << seconds;
}

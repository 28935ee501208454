#include "countdown/PeriodCheck.h"

#include <gtest/gtest.h>

using namespace dormivo;

// The period fuzz target holds the rules against a reference, in the C and the English
// locale; this is the one where a comma is the decimal point.
TEST(PeriodCheck, ReadsNumbersAsTheUserLocaleWritesThem) {
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(checkPeriod("1,5", "Minutes", german).totalSeconds, 120);
    EXPECT_EQ(checkPeriod("0,4", "Minutes", german).outcome, PeriodCheck::Outcome::NotAboveZero);
}

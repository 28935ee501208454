#include "countdown/PeriodCheck.h"

#include <gtest/gtest.h>

using namespace dormivo;
using Outcome = PeriodCheck::Outcome;

// The main window's Start tests cover the documented limits; these are the edges around them.
TEST(PeriodCheck, TurnsTheTypedPeriodIntoSeconds) {
    struct Case {
        const char* text;
        const char* unit;
        Outcome outcome;
        std::int32_t seconds;
    };
    const Case cases[] = {
        {" 2 ", "Hours", Outcome::Accepted, 7200},
        {"0.6", "Minutes", Outcome::Accepted, 60},
        {"99999999999", "Minutes", Outcome::NotANumber, 0},
        {"", "Minutes", Outcome::NotANumber, 0},
        {"0.5", "Minutes", Outcome::NotAboveZero, 0},
        {"1", "minutes", Outcome::Accepted, 3600},
        {"1", "Minutes ", Outcome::Accepted, 3600},
        {"1", "", Outcome::Accepted, 3600},
    };
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    for (const auto& c : cases) {
        const PeriodCheck check = checkPeriod(c.text, c.unit, english);
        EXPECT_EQ(check.outcome, c.outcome) << c.text << " " << c.unit;
        if (c.outcome == Outcome::Accepted) {
            EXPECT_EQ(check.totalSeconds, c.seconds) << c.text << " " << c.unit;
        }
    }
}

TEST(PeriodCheck, ReadsNumbersAsTheUserLocaleWritesThem) {
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(checkPeriod("1,5", "Minutes", german).totalSeconds, 120);
    EXPECT_EQ(checkPeriod("0,4", "Minutes", german).outcome, Outcome::NotAboveZero);
}

#include "PeriodCheck.h"

#include <gtest/gtest.h>

using namespace dormivo;
using Outcome = PeriodCheck::Outcome;

TEST(PeriodCheck, TurnsTheTypedPeriodIntoSeconds) {
    struct Case {
        const char* text;
        const char* unit;
        Outcome outcome;
        std::int32_t seconds;
    };
    const Case cases[] = {
        {"30", "Minutes", Outcome::Accepted, 1800},
        {" 2 ", "Hours", Outcome::Accepted, 7200},
        {"1.5", "Minutes", Outcome::Accepted, 120},
        {"2.5", "Minutes", Outcome::Accepted, 120},
        {"3.5", "Minutes", Outcome::Accepted, 240},
        {"0.6", "Minutes", Outcome::Accepted, 60},
        {"35791394", "Minutes", Outcome::Accepted, 2147483640},
        {"35791395", "Minutes", Outcome::NotANumber, 0},
        {"596523", "Hours", Outcome::Accepted, 2147482800},
        {"596524", "Hours", Outcome::NotANumber, 0},
        {"99999999999", "Minutes", Outcome::NotANumber, 0},
        {"abc", "Minutes", Outcome::NotANumber, 0},
        {"", "Minutes", Outcome::NotANumber, 0},
        {"0", "Minutes", Outcome::NotAboveZero, 0},
        {"-5", "Minutes", Outcome::NotAboveZero, 0},
        {"0.4", "Minutes", Outcome::NotAboveZero, 0},
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

#include "countdown/LastWarning.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

using namespace dormivo;

namespace {

struct Step {
    std::int64_t remaining; // -1: the countdown stops
    const char* action;
};

struct Case {
    const char* name;
    std::vector<Step> steps; // Start, then every tick
    QStringList expected;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class LastWarningTest : public ::testing::TestWithParam<Case> {};

TEST_P(LastWarningTest, WarnsOnceAMinuteBeforeAPowerActionAndTakesItBack) {
    test::FakeNotifier notifier;
    int stops = 0;
    int snoozes = 0;
    LastWarning warning(
        notifier, [&] { ++stops; }, [&] { ++snoozes; });
    for (const Step& step : GetParam().steps) {
        if (step.remaining < 0)
            warning.withdraw();
        else
            warning.update(step.remaining, QString::fromLatin1(step.action));
    }
    EXPECT_EQ(notifier.events, GetParam().expected);
    if (!notifier.choices.empty()) {
        EXPECT_TRUE(notifier.choose("stop"));
        EXPECT_TRUE(notifier.choose("snooze"));
        EXPECT_EQ(stops, 1) << "the warning's Stop is the window's Stop";
        EXPECT_EQ(snoozes, 1) << "the warning's 10 more minutes is the window's";
    }
}

const Case kCases[] = {
    {"AtAMinuteThenForEachOtherActionWithTheTimeLeft",
     {{61, "Shut Down"}, {60, "Shut Down"}, {59, "Shut Down"}, {30, "Restart"}, {1, "Hibernate"}},
     {"show Shut Down in 1 minute", "show Restart in 30 seconds", "show Hibernate in 1 second"}},
    {"NeverForLaunchingProgramsWithdrawnWhenChosen",
     {{60, "Lauch Program"}, {59, "Log Off"}, {58, "Lauch Program"}, {57, "Log Off"}},
     {"show Log Off in 59 seconds", "withdraw", "show Log Off in 57 seconds"}},
    {"StopAndTenMoreMinutesWithdrawNoneForACountdownThatCannotRunOut",
     {{0, "Restart"}, {30, "Restart"}, {630, "Restart"}, {60, "Restart"}, {-1, ""}, {-1, ""}},
     {"show Restart in 30 seconds", "withdraw", "show Restart in 1 minute", "withdraw"}},
};

INSTANTIATE_TEST_SUITE_P(Table, LastWarningTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

#include "countdown/LastWarning.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

using namespace dormivo;

// Start, then every tick: the seconds left (-1: the countdown stops) and the action.
TEST(LastWarning, WarnsOnceAMinuteBeforeAPowerActionAndTakesItBack) {
    const std::pair<std::vector<std::pair<std::int64_t, const char*>>, QStringList> cases[] = {
        // clang-format off
        {{{61, "Shut Down"}, {60, "Shut Down"}, {59, "Shut Down"}, {30, "Restart"}, {1, "Hibernate"}},
         {"show Shut Down in 1 minute", "show Restart in 30 seconds", "show Hibernate in 1 second"}},
        // Never for launching programs, and withdrawn when that is chosen.
        {{{60, "Lauch Program"}, {59, "Log Off"}, {58, "Lauch Program"}, {57, "Log Off"}},
         {"show Log Off in 59 seconds", "withdraw", "show Log Off in 57 seconds"}},
        // Stop and ten more minutes withdraw it; none for a countdown that cannot run out.
        {{{0, "Restart"}, {30, "Restart"}, {630, "Restart"}, {60, "Restart"}, {-1, ""}, {-1, ""}},
         {"show Restart in 30 seconds", "withdraw", "show Restart in 1 minute", "withdraw"}},
        // clang-format on
    };
    for (const auto& [steps, expected] : cases) {
        test::FakeNotifier notifier;
        int stops = 0, snoozes = 0;
        LastWarning warning(
            notifier, [&] { ++stops; }, [&] { ++snoozes; });
        for (const auto& [remaining, action] : steps)
            remaining < 0 ? warning.withdraw()
                          : warning.update(remaining, QString::fromLatin1(action));
        EXPECT_EQ(notifier.events, expected);
        EXPECT_TRUE(notifier.choices.empty() || // its Stop and 10 more minutes are the window's
                    (notifier.choose("stop") && notifier.choose("snooze") && stops && snoozes));
    }
}

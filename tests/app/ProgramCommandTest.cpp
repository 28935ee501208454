#include "app/ProgramCommand.h"
#include "support/QtPrinting.h"

#include <QTimeZone>

#include <gtest/gtest.h>

using namespace dormivo;
using Kind = ProgramCommand::Kind;

namespace {

ProgramCommand after(QString what, int period, bool hours, std::optional<QString> action = {}) {
    return {.kind = Kind::After, .period = period, .hours = hours, .after = what, .action = action};
}

ProgramCommand at(int hour, int minute, std::optional<QString> action = {}) {
    return {.kind = Kind::At, .at = QTime(hour, minute), .action = std::move(action)};
}

} // namespace

// The limits, --at and --after (the requests fuzz target and end-to-end commands hold the rest).
TEST(ProgramCommand, ReadsEveryFormAndRefusesBadInput) {
    // The arguments, then the command read or, when refused, a part of the line that says why.
    const std::tuple<QStringList, std::optional<ProgramCommand>, QString> cases[] = {
        {{"--start", "32767h", "--action", "shut down"},
         ProgramCommand{.kind = Kind::Start, .period = 32767, .hours = true, .action = "shut down"},
         ""},
        {{"--at", "7:05"}, at(7, 5), ""},
        {{"--at", "23:59", "--action", "log off"}, at(23, 59, "log off"), ""},
        {{"--at", "00:00"}, at(0, 0), ""},
        {{"--after", "rsync", "--action", "shut down"}, after("rsync", 1, false, "shut down"), ""},
        {{"--start", "5h", "--after", "4242"}, after("4242", 5, true), ""},
        {{"--start", "32768"}, {}, "'32768'"},
        {{"--start", "4294967341"}, {}, "from 1 to 32767"},
        {{"--at", "24:00"}, {}, "'24:00'"},
        {{"--at", "12:60"}, {}, "'12:60'"},
        {{"--at", "7:5"}, {}, "'7:5'"},
        {{"--after", "rsync", "--at", "7:00"}, {}, "one of"},
        {{"--after", "a", "--after", "b"}, {}, "one of"},
        {{"--after", ""}, {}, "process id"},
    };
    for (const auto& [arguments, command, said] : cases) {
        const auto read = readArguments(QStringList{"/usr/bin/dormivo"} + arguments);
        const std::string what = arguments.join(' ').toStdString();
        if (command) {
            ASSERT_TRUE(std::holds_alternative<ProgramCommand>(read)) << what;
            EXPECT_TRUE(std::get<ProgramCommand>(read) == *command) << what;
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<ArgumentsExit>(read)) << what;
        const auto& exit = std::get<ArgumentsExit>(read);
        EXPECT_EQ(exit.status, 2) << what;
        EXPECT_TRUE(exit.err.contains(said)) << exit.err.toStdString();
    }
}

// In the caller's zone: a skipped time counts to that night's jump, a repeated one to its first.
TEST(ProgramCommand, CountsWholeMinutesToTheNextClockTime) {
    const QTimeZone utc = QTimeZone::utc();
    const QTimeZone berlin("Europe/Berlin");
    const std::tuple<QDateTime, QTime, int> cases[] = {
        {QDateTime({2026, 1, 10}, {10, 0, 20}, utc), {10, 3}, 3},
        {QDateTime({2026, 1, 10}, {10, 3}, utc), {10, 4}, 1},
        {QDateTime({2026, 1, 10}, {10, 0}, utc), {10, 0}, 1440},
        {QDateTime({2026, 1, 10}, {10, 0, 0, 1}, utc), {9, 59}, 1439},
        {QDateTime({2026, 1, 10}, {23, 59, 30}, utc), {0, 0}, 1},
        {QDateTime({2026, 1, 10}, {10, 0}, QTimeZone("Asia/Tokyo")), {10, 10}, 10},
        {QDateTime({2026, 3, 29}, {1, 30}, berlin), {3, 30}, 60},
        {QDateTime({2026, 10, 25}, {1, 30}, berlin), {3, 30}, 180},
        {QDateTime({2024, 3, 30}, {23, 0}, berlin), {2, 30}, 180},
        {QDateTime({2024, 10, 26}, {23, 0}, berlin), {2, 30}, 210},
    };
    for (const auto& [when, clock, minutes] : cases) {
        const std::int64_t now = when.toMSecsSinceEpoch();
        EXPECT_EQ((nextClockTime(clock, now, when.timeZone()) - now + 59'999) / 60'000, minutes)
            << when.toString(Qt::ISODateWithMs).toStdString() << " to "
            << clock.toString().toStdString();
    }
}

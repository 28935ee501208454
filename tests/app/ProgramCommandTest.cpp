#include "app/ProgramCommand.h"
#include "support/QtPrinting.h"

#include <QTimeZone>

#include <gtest/gtest.h>

using namespace dormivo;
using Kind = ProgramCommand::Kind;

namespace {

ProgramCommand start(int period, bool hours, std::optional<QString> action = {}) {
    return {.kind = Kind::Start, .period = period, .hours = hours, .action = std::move(action)};
}

ProgramCommand after(QString what, int period, bool hours, std::optional<QString> action = {}) {
    return {.kind = Kind::After, .period = period, .hours = hours, .after = what, .action = action};
}

ProgramCommand at(int hour, int minute, std::optional<QString> action = {}) {
    return {.kind = Kind::At, .at = QTime(hour, minute), .action = std::move(action)};
}

} // namespace

// Every form the command line takes, and why it refuses the rest (the fuzz targets check that
// a refusal is one line and that a command travels to a running Dormivo as itself; the
// end-to-end commands that a refusal changes nothing).
TEST(ProgramCommand, ReadsEveryFormAndRefusesBadInput) {
    struct Case {
        QStringList arguments;
        std::optional<ProgramCommand> command; // none: refused as bad input
        QString said = {};                     // a part of the one line that says why
    };
    const Case cases[] = {
        {{}, ProgramCommand{}},
        {{"--start", "45m"}, start(45, false)},
        {{"--start=0045"}, start(45, false)},
        {{"--start", "32767h", "--action", "shut down"}, start(32767, true, "shut down")},
        {{"--action", "Lauch Program", "--start", "1"}, start(1, false, "Lauch Program")},
        {{"--action", "--stop", "--start", "1"}, start(1, false, "--stop")},
        {{"--at", "7:05"}, at(7, 5)},
        {{"--at", "23:59", "--action", "log off"}, at(23, 59, "log off")},
        {{"--at", "00:00"}, at(0, 0)},
        {{"--stop"}, ProgramCommand{.kind = Kind::Stop}},
        {{"--status"}, ProgramCommand{.kind = Kind::Status}},
        {{"--after", "rsync", "--action", "shut down"}, after("rsync", 1, false, "shut down")},
        {{"--start", "5h", "--after", "4242"}, after("4242", 5, true)},

        {{"--start", "32768"}, {}, "'32768'"},
        {{"--start", "45s"}, {}, "'45s'"},
        {{"--start", "4294967341"}, {}, "from 1 to 32767"},
        {{"--start", "\u0664\u0665"}, {}, "is not a whole number"},
        {{"--start"}, {}, "Missing value after '--start'"},
        {{"--at", "24:00"}, {}, "'24:00'"},
        {{"--at", "12:60"}, {}, "'12:60'"},
        {{"--at", "7:5"}, {}, "'7:5'"},
        {{"--after", "rsync", "--at", "7:00"}, {}, "one of"},
        {{"--after", "a", "--after", "b"}, {}, "one of"},
        {{"--after", ""}, {}, "process id"},
        {{"--action", "restart"}, {}, "--action goes with"},
        {{"--start", "5", "--action", "a", "--action", "b"}, {}, "--action once"},
        {{"--start", "5", "--action", ""}, {}, "action's name"},
        {{"--start", "5", "--action", QString(256, 'a')}, {}, "action's name"},
    };
    for (const auto& c : cases) {
        const auto read = readArguments(QStringList{"/usr/bin/dormivo"} + c.arguments);
        const std::string what = c.arguments.join(' ').toStdString();
        if (c.command) {
            ASSERT_TRUE(std::holds_alternative<ProgramCommand>(read)) << what;
            EXPECT_TRUE(std::get<ProgramCommand>(read) == *c.command) << what;
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<ArgumentsExit>(read)) << what;
        const auto& exit = std::get<ArgumentsExit>(read);
        EXPECT_EQ(exit.status, 2) << what;
        EXPECT_TRUE(exit.err.contains(c.said)) << exit.err.toStdString();
    }
}

// The time to a clock time counts as the clock goes in the caller's time zone, over midnight
// and changes to summer time and back (a skipped time counts to the jump that night, a
// repeated one to its first showing), and rounds up to whole minutes.
TEST(ProgramCommand, CountsWholeMinutesToTheNextClockTime) {
    const QTimeZone utc = QTimeZone::utc();
    const QTimeZone berlin("Europe/Berlin");
    struct Case {
        QDateTime now;
        QTime at;
        int minutes;
    };
    const Case cases[] = {
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
    for (const auto& c : cases) {
        const std::int64_t now = c.now.toMSecsSinceEpoch();
        EXPECT_EQ((nextClockTime(c.at, now, c.now.timeZone()) - now + 59'999) / 60'000, c.minutes)
            << c.now.toString(Qt::ISODateWithMs).toStdString() << " to "
            << c.at.toString().toStdString();
    }
}

#include "shell/KeyPreview.h"
#include "support/MainWindowFixture.h"

#include <QApplication>
#include <QDeadlineTimer>

using namespace dormivo;
using namespace dormivo::test;

namespace {

constexpr int kShutDown = 0;
constexpr int kLogOff = 2;
constexpr int kStandBy = 3;
constexpr int kHibernate = 4;
constexpr int kLauchProgram = 5;
const QString kPowerHelper = QStringLiteral("/opt/dormivo/dormivo-power ");

// One countdown running out: how it is set up, and what the last tick starts, deletes and tells.
struct ExpiryCase {
    const char* name;
    int action;
    std::vector<std::string> programs = {};
    const char* programsActive = "1";
    QStringList failing = {};      // command lines that cannot be started
    const char* typedAction = "";  // typed over the chosen action during the countdown
    const char* breakIt = "";      // a statement that spoils the settings file meanwhile
    int keyMeanwhile = 0;          // a key that opens a dialog meanwhile
    bool underModalDialog = false; // the last tick comes while the about window holds the caller
    QStringList log = {};
    QString told = {};
    const char* storeFailure = ""; // the engine's text, when the settings file fails and ends it
};

const QString kInactive = "Dormivo, critical: The programs in setting are set to inactive mode";
QStringList power(const char* action) {
    return {"start " + kPowerHelper + action};
}

// clang-format off
const ExpiryCase kExpiries[] = {
    {.name = "StandBy", .action = kStandBy, .log = power("standby")},
    {.name = "Hibernate", .action = kHibernate, .log = power("hibernate")},
    {.name = "UnderAModalDialog", .action = kShutDown, .underModalDialog = true, .log = power("shutdown")},
    {.name = "ProgramsThatFailAreToldTogetherAfterTheRest", .action = kLauchProgram,
     .programs = {"/missing/one", "/usr/bin/two", "  ", "/tmp"}, .failing = {"/missing/one", "  ", "/tmp"},
     .log = {"start /missing/one", "delete Velkaro0", "start /usr/bin/two", "delete Velkaro1",
             "start   ", "delete Velkaro2", "start /tmp", "delete Velkaro3"},
     .told = "Dormivo, critical: These programs of the list could not be started:\n\n/missing/one\n(an empty entry)\n/tmp"},
    {.name = "InactiveListStartsNothing", .action = kLauchProgram, .programs = {"/usr/bin/one"}, .programsActive = "0", .told = kInactive},
    {.name = "NeverSetFlagStartsNothing", .action = kLauchProgram, .programs = {"/usr/bin/one"}, .programsActive = "", .told = kInactive},
    {.name = "EmptyListStartsNothing", .action = kLauchProgram},
    {.name = "TypedActionIsTheOneRun", .action = kShutDown, .typedAction = "Log Off", .log = power("logoff")},
    {.name = "ActionWithoutARowDoesNothing", .action = kShutDown, .typedAction = "x' OR '1'='1", // bound, never SQL
     .told = "Dormivo, critical: There is no action named \"x' OR '1'='1\", so nothing was done."},
    {.name = "CommandThatCannotStartIsTold", .action = kLogOff, .failing = {kPowerHelper + "logoff"}, .log = power("logoff"),
     .told = "Dormivo, critical: The action \"Log Off\" could not be carried out: its command could not be started.\n\n" + kPowerHelper + "logoff"},
    {.name = "FailingLookupEndsTheProgram", .action = kShutDown, .breakIt = "DROP TABLE actions", .storeFailure = "no such table: actions"},
    {.name = "FailingProgramsListEndsTheProgram", .action = kLauchProgram, .breakIt = "DROP TABLE programs", .storeFailure = "no such table: programs"},
    // A dialog whose settings fail as it loads ends the program before the countdown runs out.
    {.name = "FailingStartupOptionsEndTheProgram", .action = kShutDown, .breakIt = "ALTER TABLE tmpsetting RENAME TO gone",
     .keyMeanwhile = kCtrlT, .storeFailure = "no such table: tmpsetting"},
    {.name = "FailingProgramsDialogEndsTheProgram", .action = kShutDown, .breakIt = "ALTER TABLE programs RENAME TO gone",
     .keyMeanwhile = kCtrlO, .storeFailure = "no such table: programs"},
};
// clang-format on

void PrintTo(const ExpiryCase& c, std::ostream* out) {
    *out << c.name;
}

using Tick = MainWindowFixture;

class AtExpiry : public MainWindowFixture, public ::testing::WithParamInterface<ExpiryCase> {};

TEST_P(AtExpiry, TheLastTick) {
    const ExpiryCase& c = GetParam();
    db.store().saveProgramsList(c.programs);
    startCountdown(1, c.action);
    gProgramsActive = c.programsActive;
    fakes.launcher.failing = c.failing;
    if (*c.typedAction)
        control<QComboBox>(window, "Combo1")->setEditText(c.typedAction);
    if (*c.breakIt)
        db.exec(c.breakIt);
    if (c.keyMeanwhile)
        window->menus().Form_KeyPress(c.keyMeanwhile);
    bool runningWhileTold = false; // what a command from outside reads meanwhile
    fakes.messages.whileShown = [&] { runningWhileTold |= window->countdown().isRunning; };
    if (c.underModalDialog) {
        // The real timer brings the last tick while the about window waits to be closed.
        const QDeadlineTimer giveUp(10000);
        QTimer realTime;
        QObject::connect(&realTime, &QTimer::timeout, [&] {
            fakes.clock.pass(20);
            if (QWidget* modal = QApplication::activeModalWidget())
                if (!fakes.log.isEmpty() || giveUp.hasExpired())
                    modal->close();
        });
        realTime.start(20);
        window->menus().labelMenu(2)->mnuSysTray_Click(2);
    } else if (!windows.hasEnded()) {
        tick();
        tick(); // one that was due as it ran out fires nothing more
    }
    EXPECT_FALSE(runningWhileTold);
    EXPECT_EQ(fakes.log, c.log);
    if (*c.storeFailure) {
        EXPECT_TRUE(toldSettingsFailure(c.storeFailure)) << told().join('\n').toStdString();
        EXPECT_EQ(endings, std::vector<int>{1});
    } else {
        EXPECT_EQ(told(), c.told.isEmpty() ? QStringList() : QStringList{c.told});
        EXPECT_TRUE(endings.empty());
    }
    // A dialog's failing load ends the program before it runs out.
    EXPECT_TRUE(c.keyMeanwhile || !(window->countdown().isRunning || timerRunning()));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(windows.loadedCount(), 1) << "a dialog it opened is unloaded";
}

INSTANTIATE_TEST_SUITE_P(, AtExpiry, ::testing::ValuesIn(kExpiries),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Tick, AnActionThatFailsLaterIsReported) {
    startCountdown(1, kShutDown);
    tick();
    ASSERT_TRUE(fakes.launcher.watching);
    EXPECT_TRUE(told().isEmpty());
    fakes.launcher.watching("dormivo-power: 'systemctl poweroff' failed");
    EXPECT_EQ(told(), QStringList{"Dormivo, critical: The action \"Shut Down\" failed.\n\n"
                                  "dormivo-power: 'systemctl poweroff' failed"});
}

// The countdown keeps the clock's time, not its ticks, as the machine moves the clocks.
TEST_F(Tick, KeepsTheClocksTimeAndWarnsAMinuteAfterAMissedEnd) {
    const struct {
        const char* name;
        bool toClockTime;
        std::int64_t boot, wall; // how far each clock moves
        QString shown;
        int ticksToAction;
        QString warned = {};
        std::int64_t until = 60'000; // the clock time, from the start
    } cases[] = {
        // clang-format off
        {"held up", false, 20'000, 20'000, "29 seconds", 29},
        {"wall clock set forward", false, 0, 3'600'000, "49 seconds", 49},
        {"clock time, wall clock set forward", true, 0, 20'000, "29 seconds", 29},
        {"slept past the end", false, 7'200'000, 7'200'000, "1 minute", 60, "show Shut Down in 1 minute"},
        {"held up past the end", false, 50'000, 50'000, "1 minute", 60, "show Shut Down in 1 minute"},
        {"clock time, slept past it", true, 7'200'000, 7'200'000, "1 minute", 60, "show Shut Down in 1 minute"},
        {"clock time gone as it begins", true, 0, 0, "50 seconds", 50, {}, -1'000},
        // clang-format on
    };
    for (const auto& c : cases) {
        load();
        control<QLineEdit>(window, "txtTime")->setText("1");
        if (c.toClockTime)
            window->startUntil(fakes.clock.wall + c.until);
        else
            window->Image2_Click(kStartButton);
        for (int second = 0; second < 10; ++second)
            tick();
        fakes.notifier.events.clear();
        fakes.log.clear();
        fakes.clock.boot += c.boot;
        fakes.clock.wall += c.wall;
        tick();
        EXPECT_EQ(text("Label4"), "remaining time to Shut Down is " + c.shown) << c.name;
        EXPECT_EQ(fakes.notifier.events.value(fakes.notifier.events.size() - 1), c.warned)
            << c.name;
        int ticks = 0;
        for (; fakes.log.isEmpty() && ticks < 100; ++ticks)
            tick();
        EXPECT_EQ(ticks, c.ticksToAction) << c.name;
    }
}

} // namespace

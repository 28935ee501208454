#include "support/MainWindowFixture.h"

using namespace dormivo;
using namespace dormivo::test;

namespace {

constexpr int kShutDown = 0;
constexpr int kLogOff = 2;
constexpr int kLauchProgram = 5;
const QString kPowerHelper = QStringLiteral("/opt/dormivo/dormivo-power ");

// One countdown running out: how it is set up, and what the last tick starts, deletes
// ("start <line>", "delete <Run value>") and tells.
struct ExpiryCase {
    const char* name;
    int action;
    std::vector<std::string> programs = {};
    const char* programsActive = "1";
    QStringList failing = {};     // command lines that cannot be started
    const char* typedAction = ""; // typed over the chosen action during the countdown
    const char* breakIt = "";     // a statement that spoils the settings file meanwhile
    QStringList log = {};
    QString told = {};
    const char* storeFailure = ""; // the engine's text, when the settings file fails and ends it
};

const ExpiryCase kExpiries[] = {
    {.name = "ShutDown", .action = kShutDown, .log = {"start " + kPowerHelper + "shutdown"}},
    {.name = "ListStartsInOrderAndItsRunValuesGo",
     .action = kLauchProgram,
     .programs = {"/usr/bin/one", "/opt/my apps/two", "/usr/bin/three --x"},
     .log = {"start /usr/bin/one", "delete Velkaro0", "start /opt/my apps/two", "delete Velkaro1",
             "start /usr/bin/three --x", "delete Velkaro2"}},
    {.name = "ProgramsThatFailAreToldTogetherAfterTheRest",
     .action = kLauchProgram,
     .programs = {"/missing/one", "/usr/bin/two", "  ", "/tmp"},
     .failing = {"/missing/one", "  ", "/tmp"},
     .log = {"start /missing/one", "delete Velkaro0", "start /usr/bin/two", "delete Velkaro1",
             "start   ", "delete Velkaro2", "start /tmp", "delete Velkaro3"},
     .told = "Dormivo, critical: These programs of the list could not be started:\n\n"
             "/missing/one\n(an empty entry)\n/tmp"},
    {.name = "InactiveListStartsNothing",
     .action = kLauchProgram,
     .programs = {"/usr/bin/one"},
     .programsActive = "0",
     .told = "Dormivo, critical: The programs in setting are set to inactive mode"},
    {.name = "NeverSetFlagStartsNothing",
     .action = kLauchProgram,
     .programs = {"/usr/bin/one"},
     .programsActive = "",
     .told = "Dormivo, critical: The programs in setting are set to inactive mode"},
    {.name = "EmptyListStartsNothing", .action = kLauchProgram},
    {.name = "TypedActionIsTheOneRun",
     .action = kShutDown,
     .typedAction = "Log Off",
     .log = {"start " + kPowerHelper + "logoff"}},
    {.name = "ActionWithoutARowDoesNothing",
     .action = kShutDown,
     .typedAction = "Nap it's time",
     .told = "Dormivo, critical: There is no action named \"Nap it's time\", so nothing was done."},
    {.name = "CommandThatCannotStartIsTold",
     .action = kLogOff,
     .failing = {kPowerHelper + "logoff"},
     .log = {"start " + kPowerHelper + "logoff"},
     .told = "Dormivo, critical: The action \"Log Off\" could not be carried out: its command "
             "could not be started.\n\n" +
             kPowerHelper + "logoff"},
    {.name = "FailingLookupEndsTheProgram",
     .action = kShutDown,
     .breakIt = "DROP TABLE actions",
     .storeFailure = "no such table: actions"},
    {.name = "FailingProgramsListEndsTheProgram",
     .action = kLauchProgram,
     .breakIt = "DROP TABLE programs",
     .storeFailure = "no such table: programs"},
};

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
    bool runningWhileTold = false; // what a command from outside reads meanwhile
    fakes.messages.whileShown = [&] { runningWhileTold |= window->countdown().isRunning; };
    tick();
    EXPECT_FALSE(runningWhileTold);
    EXPECT_EQ(fakes.log, c.log);
    if (*c.storeFailure) {
        EXPECT_TRUE(toldSettingsFailure(c.storeFailure)) << told().join('\n').toStdString();
        EXPECT_EQ(endings, std::vector<int>{1});
    } else {
        EXPECT_EQ(told(), c.told.isEmpty() ? QStringList() : QStringList{c.told});
        EXPECT_TRUE(endings.empty());
    }
    EXPECT_FALSE(window->countdown().isRunning);
    EXPECT_FALSE(timerRunning());
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

TEST_F(Tick, ChoosingAnotherActionRewritesTheWarningAtOnce) {
    startCountdown(30, kShutDown);
    control<QComboBox>(window, "Combo1")->setCurrentIndex(kLogOff);
    EXPECT_EQ(fakes.notifier.events.last(), "show Log Off in 30 seconds");
}

// The countdown keeps the clock's time, not its ticks. A one-minute Shut Down (or one to a
// clock time 60 s ahead) after ten seconds; the clocks move as the machine moves them; what
// the next tick shows, and how many more it takes until the action runs.
TEST_F(Tick, KeepsTheClocksTimeAndWarnsAMinuteAfterAMissedEnd) {
    const struct {
        const char* name;
        bool toClockTime;
        std::int64_t boot, wall; // how far each clock moves
        QString shown;
        int ticksToAction;
        QString warned = {};
    } cases[] = {
        {"held up", false, 20'000, 20'000, "29 seconds", 29},
        {"wall clock set forward", false, 0, 3'600'000, "49 seconds", 49},
        {"clock time, wall clock set forward", true, 0, 20'000, "29 seconds", 29},
        {"slept past the end", false, 7'200'000, 7'200'000, "1 minute", 60,
         "show Shut Down in 1 minute"},
        {"held up past the end", false, 50'000, 50'000, "1 minute", 60,
         "show Shut Down in 1 minute"},
        {"clock time, slept past it", true, 7'200'000, 7'200'000, "1 minute", 60,
         "show Shut Down in 1 minute"},
    };
    for (const auto& c : cases) {
        load();
        control<QLineEdit>(window, "txtTime")->setText("1");
        if (c.toClockTime)
            window->startUntil(fakes.clock.wall + 60'000);
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

TEST_F(Tick, LateTicksAfterTheExpiryFireNothingMore) {
    startCountdown(0, kShutDown); // as while the expiry's message box is still open
    tick();
    EXPECT_TRUE(fakes.log.isEmpty());
}

TEST_F(Tick, TheTimerIsPrecise) {
    startCountdown(60, kShutDown);
    EXPECT_EQ(control<QTimer>(window, "Timer1")->timerType(), Qt::PreciseTimer)
        << "a coarse timer drifts by up to 5%";
}

// The countdown's new length goes to the period box and the last state in minutes, so that
// Start with them counts as long again: two hours become 130 minutes.
TEST_F(Tick, TheWarningsTenMoreMinutesLengthenTheCountdownInMinutes) {
    load();
    control<QLineEdit>(window, "txtTime")->setText("2");
    control<QComboBox>(window, "cmbtime")->setCurrentIndex(1);
    window->Image2_Click(kStartButton);
    fakes.clock.pass((7200 - 30) * 1000);
    tick();
    ASSERT_TRUE(fakes.notifier.choose("snooze"));
    EXPECT_EQ(text("Label4"), "remaining time to Shut Down is 10 minutes, 29 seconds");
    EXPECT_EQ(window->trayIcon()->ToolTip(), text("Label4"));
    EXPECT_EQ(text("txtTime") + " " + text("cmbtime"), "130 Minutes");
    EXPECT_EQ(db.scalar("SELECT period || ' ' || Type FROM setting"), "130 0");
}

} // namespace

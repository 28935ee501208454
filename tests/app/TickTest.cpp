#include "app/MainWindowFixture.h"
#include "registry/Registry.h"

using namespace dormivo;

namespace {

class Tick : public test::MainWindowFixture {
protected:
    void writeRunValues(int count) {
        registry::Registry reg(fakes.registry);
        for (int i = 0; i < count; ++i)
            reg.SetKeyValue(registry::HKEY_LOCAL_MACHINE, registry::kRunKey,
                            "Velkaro" + std::to_string(i), std::string("/bin/p"));
        fakes.log.clear();
    }
    // The countdown text, and whether the tip and the state follow it.
    QString shown() {
        EXPECT_EQ(window->trayIcon()->ToolTip(), text("Label4"));
        return text("Label4") + " | " + text("Label3");
    }
    void expectEndAtExpiry(int action, const char* breakIt, const char* message);

    static constexpr int kShutDown = 0;
    static constexpr int kRestart = 1;
    static constexpr int kLogOff = 2;
    static constexpr int kLauchProgram = 5;
};

TEST_F(Tick, ASecondCountdownRunsItsActionOnTheFirstTick) {
    startCountdown(1, kShutDown);
    tick();
    EXPECT_EQ(fakes.log, QStringList{"start /opt/dormivo/dormivo-power shutdown"});
    EXPECT_FALSE(timerRunning());
    EXPECT_EQ(shown(), "remaining time to Shut Down is 0 seconds | Not Running");
    EXPECT_TRUE(told().isEmpty());
}

TEST_F(Tick, LauchProgramCountsDownThenStartsTheListInOrder) {
    db.store().saveProgramsList({"/usr/bin/one", "/opt/my apps/two", "/usr/bin/three --x"});
    startCountdown(3, kLauchProgram);
    gProgramsActive = "1";
    writeRunValues(4);

    tick();
    EXPECT_EQ(shown(), "remaining time to Lauch Program is 2 seconds | Running");
    tick();
    EXPECT_EQ(shown(), "remaining time to Lauch Program is 1 second | Running");
    EXPECT_TRUE(fakes.log.isEmpty());
    tick();
    EXPECT_EQ(fakes.log,
              (QStringList{"start /usr/bin/one", "delete Velkaro0", "start /opt/my apps/two",
                           "delete Velkaro1", "start /usr/bin/three --x", "delete Velkaro2"}));
    registry::ValueTable left;
    registry::Key run = 0;
    registry::Registry reg(fakes.registry);
    reg.OpenKey(registry::HKEY_LOCAL_MACHINE, registry::kRunKey, run);
    reg.ListValues(run, left);
    EXPECT_EQ(left, (registry::ValueTable{{"1", "Velkaro3"}}));
    EXPECT_EQ(shown(), "remaining time to Lauch Program is 0 seconds | Not Running");
}

TEST_F(Tick, ProgramsThatFailToStartAreToldTogetherAfterTheRestStarted) {
    db.store().saveProgramsList({"/missing/one", "/usr/bin/two", "  ", "/tmp"});
    startCountdown(1, kLauchProgram);
    gProgramsActive = "1";
    fakes.launcher.failing << "/missing/one"
                           << "  "
                           << "/tmp";
    tick();
    EXPECT_EQ(fakes.log, (QStringList{"start /missing/one", "delete Velkaro0", "start /usr/bin/two",
                                      "delete Velkaro1", "start   ", "delete Velkaro2",
                                      "start /tmp", "delete Velkaro3"}));
    EXPECT_EQ(told(), QStringList{"Dormivo, critical: These programs of the list could not be "
                                  "started:\n\n/missing/one\n(an empty entry)\n/tmp"});
    EXPECT_FALSE(window->countdown().isRunning);
}

TEST_F(Tick, ExpiriesThatRunNothingStillStop) {
    const QStringList inactive{
        "Dormivo, critical: The programs in setting are set to inactive mode"};
    const struct {
        const char* active;
        std::vector<std::string> programs;
        QStringList told;
    } cases[] = {
        {"0", {"/usr/bin/one"}, inactive},
        {"", {"/usr/bin/one"}, inactive}, // the flag was never set
        {"1", {}, {}},
    };
    for (const auto& c : cases) {
        db.store().saveProgramsList(c.programs);
        startCountdown(2, kLauchProgram);
        gProgramsActive = c.active;
        tick();
        tick();
        EXPECT_TRUE(fakes.launcher.started.isEmpty()) << c.active;
        EXPECT_FALSE(window->countdown().isRunning) << c.active;
        EXPECT_EQ(told(), c.told) << c.active;
    }
}

TEST_F(Tick, AnActionWithoutARowStopsAndSaysNothingWasDone) {
    startCountdown(1, kShutDown);
    control<QComboBox>("Combo1")->setEditText("Nap it's time");
    tick();
    EXPECT_TRUE(fakes.log.isEmpty());
    EXPECT_EQ(told(), QStringList{"Dormivo, critical: There is no action named \"Nap it's time\", "
                                  "so nothing was done."});
    EXPECT_EQ(shown(), "remaining time to Nap it's time is 0 seconds | Not Running");
}

// A settings file that fails at expiry is told and ends the program; nothing is started.
void Tick::expectEndAtExpiry(int action, const char* breakIt, const char* message) {
    startCountdown(1, action);
    gProgramsActive = "1";
    db.exec(breakIt);
    tick();
    EXPECT_TRUE(fakes.launcher.started.isEmpty());
    EXPECT_TRUE(toldSettingsFailure(message)) << told().join('\n').toStdString();
    EXPECT_EQ(endings, std::vector<int>{1});
    EXPECT_FALSE(window->countdown().isRunning);
}

TEST_F(Tick, ALookupThatFailsEndsTheProgram) {
    expectEndAtExpiry(kShutDown, "DROP TABLE actions", "no such table: actions");
}

TEST_F(Tick, AProgramsListThatFailsEndsTheProgram) {
    expectEndAtExpiry(kLauchProgram, "DROP TABLE programs", "no such table: programs");
}

TEST_F(Tick, ACommandThatCannotStartOrFailsLaterIsReported) {
    startCountdown(1, kLogOff);
    fakes.launcher.failing << "/opt/dormivo/dormivo-power logoff";
    tick();
    EXPECT_EQ(told(), QStringList{"Dormivo, critical: The action \"Log Off\" could not be carried "
                                  "out: its command could not be started.\n\n"
                                  "/opt/dormivo/dormivo-power logoff"});
    EXPECT_FALSE(window->countdown().isRunning);

    startCountdown(1, kShutDown);
    tick();
    ASSERT_TRUE(fakes.launcher.watching);
    EXPECT_TRUE(told().isEmpty());
    fakes.launcher.watching("dormivo-power: 'systemctl poweroff' failed");
    EXPECT_EQ(told(), QStringList{"Dormivo, critical: The action \"Shut Down\" failed.\n\n"
                                  "dormivo-power: 'systemctl poweroff' failed"});
}

TEST_F(Tick, ChangingTheActionDuringACountdownChangesTextAndAction) {
    startCountdown(2, kShutDown);
    tick();
    EXPECT_EQ(text("Label4"), "remaining time to Shut Down is 1 second");
    control<QComboBox>("Combo1")->setCurrentIndex(kLogOff);
    EXPECT_EQ(text("lblCaption"), "Log Off");
    tick();
    EXPECT_EQ(fakes.log, QStringList{"start /opt/dormivo/dormivo-power logoff"});
    EXPECT_EQ(text("Label4"), "remaining time to Log Off is 0 seconds");
}

TEST_F(Tick, LateTicksAfterTheExpiryFireNothingMore) {
    startCountdown(0, kShutDown); // as while the expiry's message box is still open
    tick();
    EXPECT_TRUE(fakes.log.isEmpty());
    EXPECT_EQ(text("Label4"), "remaining time to Shut Down is 0 seconds");
}

TEST_F(Tick, TheTimerTicksOnceASecond) {
    startCountdown(60, kShutDown);
    auto* timer = control<QTimer>("Timer1");
    EXPECT_EQ(timer->interval(), 1000);
    EXPECT_EQ(timer->timerType(), Qt::PreciseTimer) << "a coarse timer drifts by up to 5%";
    ASSERT_TRUE(QMetaObject::invokeMethod(timer, "timeout"));
    EXPECT_EQ(text("Label4"), "remaining time to Shut Down is 59 seconds");
}

TEST_F(Tick, TheLastMinuteIsWarnedForTheChosenActionAndTheWarningsStopStops) {
    startCountdown(30, kShutDown);
    auto* combo = control<QComboBox>("Combo1");
    combo->setCurrentIndex(kRestart);
    tick();
    combo->setCurrentIndex(kLauchProgram);
    combo->setCurrentIndex(kLogOff);
    EXPECT_EQ(fakes.notifier.events,
              (QStringList{"show Shut Down in 1 minute", "show Restart in 30 seconds", "withdraw",
                           "show Log Off in 29 seconds"}));
    ASSERT_TRUE(fakes.notifier.choose("stop"));
    EXPECT_FALSE(window->countdown().isRunning);
    EXPECT_EQ(face("Image2_1"), 8) << "Stop looks selected, as after a click";
    EXPECT_EQ(fakes.notifier.events.last(), "withdraw");
}

// The countdown's new length goes to the period box and the last state, in minutes, so that
// Start with them counts as long again.
TEST_F(Tick, TheWarningsTenMoreMinutesLengthenTheCountdownAndItWarnsAgain) {
    const struct {
        const char* period;
        int unit;
        const char* lengthened;
        const char* remaining;
    } cases[] = {
        {"1", 0, "11", "10 minutes, 29 seconds"},
        {"2", 1, "130", "10 minutes, 29 seconds"},
    };
    for (const auto& c : cases) {
        load();
        control<QLineEdit>("txtTime")->setText(c.period);
        control<QComboBox>("cmbtime")->setCurrentIndex(c.unit);
        window->Image2_Click(kStartButton);
        auto& countdown = const_cast<CountdownState&>(window->countdown());
        countdown.elapsedSeconds = countdown.totalSeconds - 30;
        tick();
        ASSERT_TRUE(fakes.notifier.choose("snooze")) << c.period;
        EXPECT_EQ(shown(),
                  QStringLiteral("remaining time to Shut Down is %1 | Running").arg(c.remaining));
        EXPECT_EQ(text("txtTime") + " " + text("cmbtime"), QString(c.lengthened) + " Minutes");
        const auto stored = db.store().loadSettings();
        EXPECT_EQ(stored->period.text(), c.lengthened);
        EXPECT_EQ(stored->type.toInt16(), 0);
        EXPECT_EQ(fakes.notifier.events.last(), "withdraw");

        countdown.elapsedSeconds = countdown.totalSeconds - 61;
        tick();
        EXPECT_EQ(fakes.notifier.events.last(), "show Shut Down in 1 minute");
    }
}

TEST_F(Tick, TheWarningGoesWhenTheActionRuns) {
    startCountdown(2, kShutDown);
    tick();
    tick();
    EXPECT_EQ(fakes.log, QStringList{"start /opt/dormivo/dormivo-power shutdown"});
    EXPECT_EQ(fakes.notifier.events, (QStringList{"show Shut Down in 1 minute", "withdraw"}));
}

} // namespace

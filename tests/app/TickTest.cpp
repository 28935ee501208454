#include "MainWindowFixture.h"
#include "ProgramsActive.h"
#include "Registry.h"

using namespace dormivo;

namespace {

class Tick : public test::MainWindowFixture {
protected:
    // Starts a one-minute countdown on the action at that list position and lets all but
    // the given seconds pass.
    void startSeconds(int seconds, int action) {
        load();
        control<QComboBox>("Combo1")->setCurrentIndex(action);
        control<QComboBox>("cmbtime")->setCurrentIndex(0);
        control<QLineEdit>("txtTime")->setText("1");
        window->Command1_Click();
        ASSERT_TRUE(window->countdown().isRunning);
        state().elapsedSeconds = 60 - seconds;
        fakes.messages.shown.clear();
        fakes.log.clear();
    }
    CountdownState& state() { return const_cast<CountdownState&>(window->countdown()); }
    void writeRunValues(int count) {
        registry::Registry reg(fakes.registry);
        for (int i = 0; i < count; ++i)
            reg.SetKeyValue(registry::HKEY_LOCAL_MACHINE, registry::kRunKey,
                            "Velkaro" + std::to_string(i), std::string("/bin/p"));
        fakes.log.clear();
    }
    QString tip() { return window->trayIcon()->ToolTip(); }
    void expectEndAtExpiry(int action, const char* breakIt, const char* message);

    static constexpr int kShutDown = 0;
    static constexpr int kLogOff = 2;
    static constexpr int kLauchProgram = 5;
};

TEST_F(Tick, ASecondCountdownRunsItsActionOnTheFirstTick) {
    startSeconds(1, kShutDown);
    window->Timer1_Timer();
    EXPECT_EQ(fakes.log, QStringList{"start /opt/dormivo/dormivo-power shutdown"});
    EXPECT_FALSE(window->countdown().isRunning);
    EXPECT_FALSE(timerRunning());
    EXPECT_EQ(text("Label3"), "Not Running");
    EXPECT_EQ(text("Label4"), "remaining time to Shut Down is 0 seconds");
    EXPECT_EQ(tip(), "remaining time to Shut Down is 0 seconds");
    EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(Tick, LauchProgramCountsDownThenStartsTheListInOrder) {
    db.store().saveProgramsList({"/usr/bin/one", "/opt/my apps/two", "/usr/bin/three --x"});
    startSeconds(3, kLauchProgram);
    gProgramsActive = "1";
    writeRunValues(4);

    window->Timer1_Timer();
    EXPECT_EQ(text("Label4"), "remaining time to Lauch Program is 2 seconds");
    EXPECT_EQ(tip(), text("Label4"));
    window->Timer1_Timer();
    EXPECT_EQ(text("Label4"), "remaining time to Lauch Program is 1 second");
    EXPECT_TRUE(fakes.log.isEmpty());
    window->Timer1_Timer();
    EXPECT_EQ(fakes.log,
              (QStringList{"start /usr/bin/one", "delete Velkaro0", "start /opt/my apps/two",
                           "delete Velkaro1", "start /usr/bin/three --x", "delete Velkaro2"}));
    registry::ValueTable left;
    registry::Key run = 0;
    registry::Registry reg(fakes.registry);
    reg.OpenKey(registry::HKEY_LOCAL_MACHINE, registry::kRunKey, run);
    reg.ListValues(run, left);
    EXPECT_EQ(left, (registry::ValueTable{{"1", "Velkaro3"}}));
    EXPECT_EQ(text("Label3"), "Not Running");
    EXPECT_EQ(text("Label4"), "remaining time to Lauch Program is 0 seconds");
    EXPECT_EQ(tip(), "remaining time to Lauch Program is 0 seconds");
}

TEST_F(Tick, ProgramsThatFailToStartAreToldTogetherAfterTheRestStarted) {
    db.store().saveProgramsList({"/missing/one", "/usr/bin/two", "  ", "/tmp"});
    startSeconds(1, kLauchProgram);
    gProgramsActive = "1";
    fakes.launcher.failing << "/missing/one"
                           << "  "
                           << "/tmp";
    window->Timer1_Timer();
    EXPECT_EQ(fakes.log, (QStringList{"start /missing/one", "delete Velkaro0", "start /usr/bin/two",
                                      "delete Velkaro1", "start   ", "delete Velkaro2",
                                      "start /tmp", "delete Velkaro3"}));
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].text,
              "These programs of the list could not be started:\n\n/missing/one\n"
              "(an empty entry)\n/tmp");
    EXPECT_EQ(fakes.messages.shown[0].style, MessageStyle::Critical);
    EXPECT_FALSE(window->countdown().isRunning);
}

TEST_F(Tick, ExpiriesThatRunNothingStillStop) {
    struct Case {
        const char* what;
        const char* active;
        std::vector<std::string> programs;
        QString message;
    };
    const Case cases[] = {
        {"inactive list",
         "0",
         {"/usr/bin/one"},
         "The programs in setting are set to inactive mode"},
        {"flag never set",
         "",
         {"/usr/bin/one"},
         "The programs in setting are set to inactive mode"},
        {"empty list", "1", {}, {}},
    };
    for (const auto& c : cases) {
        window.reset();
        trayIconShown = false;
        db.store().saveProgramsList(c.programs);
        startSeconds(2, kLauchProgram);
        gProgramsActive = c.active;
        window->Timer1_Timer();
        window->Timer1_Timer();
        EXPECT_TRUE(fakes.launcher.started.isEmpty()) << c.what;
        EXPECT_FALSE(window->countdown().isRunning) << c.what;
        if (c.message.isEmpty()) {
            EXPECT_TRUE(fakes.messages.shown.empty()) << c.what;
        } else {
            ASSERT_EQ(fakes.messages.shown.size(), 1u) << c.what;
            EXPECT_EQ(fakes.messages.shown[0].text, c.message);
            EXPECT_EQ(fakes.messages.shown[0].style, MessageStyle::Critical);
            EXPECT_EQ(fakes.messages.shown[0].title, "Dormivo");
        }
    }
}

TEST_F(Tick, AnActionWithoutARowStopsAndSaysNothingWasDone) {
    startSeconds(1, kShutDown);
    control<QComboBox>("Combo1")->setEditText("Nap it's time");
    window->Timer1_Timer();
    EXPECT_TRUE(fakes.log.isEmpty());
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].text,
              "There is no action named \"Nap it's time\", so nothing was done.");
    EXPECT_EQ(fakes.messages.shown[0].style, MessageStyle::Critical);
    EXPECT_EQ(fakes.messages.shown[0].title, "Dormivo");
    EXPECT_EQ(text("Label3"), "Not Running");
    EXPECT_EQ(text("Label4"), "remaining time to Nap it's time is 0 seconds");
}

// A settings file that fails at expiry is told and ends the program; nothing is started.
void Tick::expectEndAtExpiry(int action, const char* breakIt, const char* message) {
    startSeconds(1, action);
    gProgramsActive = "1";
    db.exec(breakIt);
    window->Timer1_Timer();
    EXPECT_TRUE(fakes.launcher.started.isEmpty());
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].text, message);
    EXPECT_EQ(endings, std::vector<int>{1});
    EXPECT_FALSE(window->countdown().isRunning);
}

TEST_F(Tick, ALookupThatFailsEndsTheProgram) {
    expectEndAtExpiry(kShutDown, "DROP TABLE actions", "no such table: actions");
}

TEST_F(Tick, AProgramsListThatFailsEndsTheProgram) {
    expectEndAtExpiry(kLauchProgram, "DROP TABLE programs", "no such table: programs");
}

TEST_F(Tick, ACommandThatCannotStartIsReported) {
    startSeconds(1, kLogOff);
    fakes.launcher.failing << "/opt/dormivo/dormivo-power logoff";
    window->Timer1_Timer();
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].style, MessageStyle::Critical);
    EXPECT_EQ(fakes.messages.shown[0].title, "Dormivo");
    EXPECT_TRUE(fakes.messages.shown[0].text.contains("/opt/dormivo/dormivo-power logoff"));
    EXPECT_FALSE(window->countdown().isRunning);
}

TEST_F(Tick, APowerActionThatFailsLaterIsReported) {
    startSeconds(1, kShutDown);
    window->Timer1_Timer();
    ASSERT_TRUE(fakes.launcher.watching);
    EXPECT_TRUE(fakes.messages.shown.empty());
    fakes.launcher.watching("dormivo-power: 'systemctl poweroff' failed");
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].style, MessageStyle::Critical);
    EXPECT_EQ(fakes.messages.shown[0].title, "Dormivo");
    EXPECT_TRUE(fakes.messages.shown[0].text.contains("Shut Down"));
    EXPECT_TRUE(fakes.messages.shown[0].text.contains("'systemctl poweroff' failed"));
}

TEST_F(Tick, ChangingTheActionDuringACountdownChangesTextAndAction) {
    startSeconds(2, kShutDown);
    window->Timer1_Timer();
    EXPECT_EQ(text("Label4"), "remaining time to Shut Down is 1 second");
    control<QComboBox>("Combo1")->setCurrentIndex(kLogOff);
    EXPECT_EQ(text("lblCaption"), "Log Off");
    window->Timer1_Timer();
    EXPECT_EQ(fakes.log, QStringList{"start /opt/dormivo/dormivo-power logoff"});
    EXPECT_EQ(text("Label4"), "remaining time to Log Off is 0 seconds");
}

TEST_F(Tick, LateTicksAfterTheExpiryFireNothingMore) {
    startSeconds(0, kShutDown); // as while the expiry's message box is still open
    window->Timer1_Timer();
    EXPECT_TRUE(fakes.log.isEmpty());
    EXPECT_EQ(text("Label4"), "remaining time to Shut Down is 0 seconds");
}

TEST_F(Tick, TheTimerTicksOnceASecond) {
    startSeconds(60, kShutDown);
    auto* timer = window->findChild<QTimer*>("Timer1");
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_FALSE(timer->isSingleShot());
    EXPECT_EQ(timer->interval(), 1000);
    EXPECT_EQ(timer->timerType(), Qt::PreciseTimer) << "a coarse timer drifts by up to 5%";
    ASSERT_TRUE(QMetaObject::invokeMethod(timer, "timeout"));
    EXPECT_EQ(text("Label4"), "remaining time to Shut Down is 59 seconds");
}

} // namespace

TEST_F(Tick, TheLastMinuteIsWarnedAndTheWarningsStopStops) {
    startSeconds(30, kShutDown);
    window->Timer1_Timer();
    EXPECT_EQ(fakes.notifier.events, QStringList{"show Shut Down in 1 minute"});
    ASSERT_TRUE(fakes.notifier.stop);
    fakes.notifier.stop();
    EXPECT_FALSE(window->countdown().isRunning);
    EXPECT_EQ(window->buttonPicture(1), 8) << "Stop looks selected, as after a click";
    EXPECT_EQ(fakes.notifier.events.last(), "withdraw");
}

TEST_F(Tick, TheWarningGoesWhenTheActionRuns) {
    startSeconds(2, kShutDown);
    window->Timer1_Timer();
    window->Timer1_Timer();
    EXPECT_EQ(fakes.log, QStringList{"start /opt/dormivo/dormivo-power shutdown"});
    EXPECT_EQ(fakes.notifier.events, (QStringList{"show Shut Down in 1 minute", "withdraw"}));
}

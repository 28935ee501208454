#include "support/MainWindowFixture.h"

using namespace dormivo;
using namespace dormivo::test;

using StartStop = MainWindowFixture;

TEST_F(StartStop, StartChecksThePeriod) {
    const QString notANumber = "Project1, critical: Please Enter valid Number.";
    const QString notAboveZero = "Dormivo, information: Please enter number above zero";
    // What Start leaves: the seconds counted down or the message told, and the box after (the
    // period fuzz target holds the rules themselves).
    const struct {
        const char* text;
        const char* unit;
        QString result;
    } cases[] = {
        {"2.5", "Minutes", "120 s, box 2.5"},
        {"596523", "Hours", "2147482800 s, box 596523"},
        {"abc", "Minutes", notANumber + ", box 1"},
        {"0", "Minutes", notAboveZero + ", box 0"},
    };
    load();
    for (const auto& c : cases) {
        fakes.messages.shown.clear();
        control<QLineEdit>(window, "txtTime")->setText(c.text);
        control<QComboBox>(window, "cmbtime")->setEditText(c.unit);
        window->Image2_Click(kStartButton);
        const bool started = window->countdown().isRunning;
        EXPECT_EQ(timerRunning(), started) << c.text;
        const QString result =
            started ? QString::number(window->countdown().totalSeconds) + " s" : told().join('\n');
        EXPECT_EQ(result + ", box " + text("txtTime"), c.result) << c.text;
        EXPECT_EQ(face("Image2_0"), 8) << "a refused Start still looks selected";
        window->Image2_Click(kStopButton);
        EXPECT_FALSE(window->countdown().isRunning);
    }
}

TEST_F(StartStop, StartTwiceStartsOnceAndStopWhileIdleChangesNothing) {
    load();
    window->Image2_Click(kStopButton);
    EXPECT_TRUE(text("Label3").isEmpty());
    EXPECT_EQ(face("Image2_1"), 8);
    EXPECT_EQ(face("Image2_0"), 7);

    window->trayIcon()->mnuSysTray_Click(0); // the icon's Start and Stop are the window's
    EXPECT_EQ(text("Label3"), "Running");
    control<QLineEdit>(window, "txtTime")->setText("abc");
    window->Image2_Click(kStartButton);
    EXPECT_TRUE(told().isEmpty()) << "the second Start is ignored";
    EXPECT_EQ(window->countdown().totalSeconds, 300);

    window->trayIcon()->mnuSysTray_Click(1);
    EXPECT_EQ(text("Label3"), "Not Running");
    EXPECT_EQ(window->countdown().totalSeconds, 300) << "Stop keeps the period";
    EXPECT_EQ(window->trayIcon()->ToolTip(), "Dormivo");
}

// While the refusal's message box waits, the countdown is not running; a Stop and a Start
// that come meanwhile (the icon's menu, a command) leave a countdown that Stop can stop.
TEST_F(StartStop, ARefusedStartLeavesWhatCameWhileItsBoxWaited) {
    load();
    control<QLineEdit>(window, "txtTime")->setText("abc");
    bool runningMeanwhile = true;
    fakes.messages.whileShown = [&] {
        fakes.messages.whileShown = nullptr;
        runningMeanwhile = window->countdown().isRunning;
        window->Image2_Click(kStopButton);
        control<QLineEdit>(window, "txtTime")->setText("1");
        window->Image2_Click(kStartButton);
    };
    window->Image2_Click(kStartButton);
    EXPECT_FALSE(runningMeanwhile);
    EXPECT_TRUE(window->countdown().isRunning && timerRunning());
    window->Image2_Click(kStopButton);
    EXPECT_FALSE(window->countdown().isRunning || timerRunning());
}

TEST_F(StartStop, StartSavesTheChoiceToTheFirstSettingRow) {
    db.exec(
        "INSERT INTO setting VALUES ('1', 0, 0, '1', 'Stoped', '0'), ('2', 0, 0, '0', 'x', '0')");
    load();
    control<QComboBox>(window, "Combo1")->setCurrentIndex(3);
    control<QComboBox>(window, "cmbtime")->setCurrentIndex(1);
    control<QLineEdit>(window, "txtTime")->setText("2.5");
    window->Image2_Click(kStartButton);
    EXPECT_EQ(db.scalar("SELECT period||'|'||Type||'|'||Action||'|'||active FROM setting"),
              "2.5|1|3|1");
    EXPECT_EQ(db.scalar("SELECT period FROM setting WHERE rowid = 2"), "2");
    EXPECT_EQ(text("lblCaption"), "Stand By");
}

TEST_F(StartStop, LauchProgramWarnsAboutAnUnusableListAndRunsOn) {
    const struct {
        std::vector<std::string> programs;
        const char* active;
        QStringList told;
    } cases[] = {
        {{},
         "1",
         {"Dormivo, critical: Please Add The Programs You Want To Start At Option Window"}},
        {{"/usr/bin/true"},
         "0",
         {"Dormivo, critical: You Have To Change The Programs In Option To Active Mode First"}},
        {{"/usr/bin/true"}, "1", {}},
    };
    for (const auto& c : cases) {
        db.store().saveProgramsList(c.programs);
        load();
        gProgramsActive = c.active;
        fakes.messages.shown.clear();
        control<QComboBox>(window, "Combo1")->setCurrentIndex(5);
        window->Image2_Click(kStartButton);
        EXPECT_TRUE(window->countdown().isRunning) << c.active;
        EXPECT_TRUE(told().isEmpty()) << "told only once Start has returned";
        QCoreApplication::processEvents();
        EXPECT_EQ(told(), c.told);
        // The programs window opens, modeless, with each warning.
        QWidget* programs = windows.find("dormivo::frmSetting");
        EXPECT_EQ(programs && !programs->isModal(), !c.told.isEmpty()) << c.active;
    }
}

#include "support/MainWindowFixture.h"

using namespace dormivo;
using namespace dormivo::test;

using StartStop = MainWindowFixture;

TEST_F(StartStop, StartChecksThePeriod) {
    const QString notANumber = "Project1, critical: Please Enter valid Number.";
    const QString notAboveZero = "Dormivo, information: Please enter number above zero";
    // Hiding without a notification area keeps the window on the screen.
    const struct {
        const char* text;
        const char* unit;
        QString result;
        bool withoutNotificationArea = false;
    } cases[] = {
        {"2.5", "Minutes", "120 s, box 2.5"},
        {"596523", "Hours", "2147482800 s, box 596523"},
        {"596524", "Hours", notANumber + ", box 1"},
        {"0.4", "Minutes", notAboveZero + ", box 0.4"},
        {"1", "Hours", "3600 s, box 1", true},
    };
    for (const auto& c : cases) {
        fakes.messages.shown.clear();
        fakes.notifyIcons.available = !c.withoutNotificationArea;
        load();
        window->show();
        control<QLineEdit>(window, "txtTime")->setText(c.text);
        control<QComboBox>(window, "cmbtime")->setEditText(c.unit);
        window->Image2_Click(kStartButton);
        const bool started = window->countdown().isRunning;
        EXPECT_EQ(timerRunning(), started) << c.text;
        const QString result =
            started ? QString::number(window->countdown().totalSeconds) + " s" : told().join('\n');
        EXPECT_EQ(result + ", box " + text("txtTime"), c.result) << c.text;
        EXPECT_EQ(face("Image2_0"), 8) << "a refused Start still looks selected";
        click(window, "Image1_1");
        EXPECT_EQ(window->isVisible(), c.withoutNotificationArea) << c.text;
        window->Image2_Click(kStopButton);
        EXPECT_FALSE(window->countdown().isRunning || timerRunning()) << c.text;
    }
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

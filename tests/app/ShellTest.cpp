// The main window's buttons and keys, the keyboard's path through it, and hiding.
#include "support/MainWindowFixture.h"

#include <QApplication>

using namespace dormivo;
using namespace dormivo::test;

namespace {

using MainWindowShell = MainWindowFixture;

TEST_F(MainWindowShell, APressShowsThePressedPictureAndAReleaseAwayIsNoClick) {
    load();
    window->Image2_Click(kStartButton);
    for (const char* surface : {"Image2_1", "Label5_1"}) { // Stop's picture and its caption
        QTest::mousePress(control(window, surface), Qt::LeftButton);
        EXPECT_EQ(face("Image2_1"), 8) << surface;
        QTest::mouseRelease(control(window, surface), Qt::LeftButton, {}, QPoint(-5, -5));
        EXPECT_EQ(face("Image2_1"), 7) << surface;
        EXPECT_TRUE(window->countdown().isRunning) << surface;
    }
}

TEST_F(MainWindowShell, KeysReachTheWindowAndStillTheFocusedBox) {
    load();
    window->show();
    QApplication::setActiveWindow(window.get());
    auto* box = control<QLineEdit>(window, "txtTime");
    box->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), box);

    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_TRUE(window->countdown().isRunning) << "Enter starts";
    QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(window->countdown().isRunning) << "Ctrl+S stops";
    QTest::keyClick(box, Qt::Key_M, Qt::ControlModifier);
    EXPECT_TRUE(window->countdown().isRunning) << "Ctrl+M is Enter";
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_TRUE(window->countdown().isRunning) << "a second Enter starts nothing new";
    EXPECT_TRUE(fakes.messages.shown.empty());

    box->clear();
    QTest::keyClicks(box, "12");
    EXPECT_EQ(box->text(), "12") << "the box still gets its keys";

    QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible()) << "Ctrl+X unloads the window";
    window->Image2_Click(kStopButton); // nothing is left to update; must not fail
    EXPECT_FALSE(window->countdown().isRunning);
}

TEST_F(MainWindowShell, EnterWithABadPeriodIsHandledOnceWhileItsBoxTakesTheFocus) {
    load();
    window->show();
    QApplication::setActiveWindow(window.get());
    auto* box = control<QLineEdit>(window, "txtTime");
    box->setFocus();
    // A real message box takes the focus while it is open, and the desktop gives it back to
    // the window only later.
    fakes.messages.whileShown = [] {
        QWidget messageBox;
        messageBox.show();
        QApplication::setActiveWindow(&messageBox);
    };
    for (const char* period : {"abc", "0"}) { // one of each message
        fakes.messages.shown.clear();
        box->setText(period);
        QApplication::setActiveWindow(window.get());
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_EQ(fakes.messages.shown.size(), 1u) << period;
        EXPECT_FALSE(window->countdown().isRunning) << period;
    }
}

// Screen readers find the buttons by name on the accessibility bus (the end-to-end suite
// reads them there); Tab must reach them, and Space press them.
TEST_F(MainWindowShell, TabReachesTheButtonsAndSpacePressesThem) {
    load();
    window->show();
    QStringList tabStops;
    QWidget* stop = control(window, "Combo1");
    do {
        if (stop->focusPolicy() & Qt::TabFocus && stop->isVisibleTo(window.get()))
            tabStops << stop->objectName();
        stop = stop->nextInFocusChain();
    } while (stop != control(window, "Combo1"));
    for (const char* button : {"Image2_0", "Image2_1", "Image2_2", "Image1_0", "Label6_0"})
        EXPECT_TRUE(tabStops.contains(button)) << button;
    EXPECT_FALSE(tabStops.contains("Label5_0")) << "the caption is part of its button";
    EXPECT_EQ(tabStops.first(), "Combo1") << "Tab still starts in the action box";

    window->Image2_Click(kStartButton);
    QTest::keyClick(control(window, "Image2_1"), Qt::Key_Space);
    EXPECT_FALSE(window->countdown().isRunning);
    EXPECT_EQ(face("Image2_1"), 8);
}

TEST_F(MainWindowShell, WithoutANotificationAreaHidingMinimizes) {
    fakes.notifyIcons.available = false;
    load();
    window->show();
    click(window, "Image1_1");
    EXPECT_TRUE(window->isVisible()) << "the window stays reachable";
}

} // namespace

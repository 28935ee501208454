// The main window's surfaces: pictures while pressed, keys, the keyboard's path, hiding.
#include "support/MainWindowFixture.h"

#include <QApplication>

using namespace dormivo;
using namespace dormivo::test;

namespace {

using MainWindowShell = MainWindowFixture;

TEST_F(MainWindowShell, PressedButtonsShowTheirPressedPicture) {
    load();
    for (int i = 0; i < 3; ++i) {
        const QByteArray name = QByteArray("Image1_") + char('0' + i);
        emit control<ImageButton>(window, name)->pressed();
        EXPECT_EQ(face(name), 2 * i + 1) << i;
        emit control<ImageButton>(window, name)->released();
        EXPECT_EQ(face(name), 2 * i + 2) << i;
    }
    for (const char* surface : {"Image2_1", "Label5_1"}) {
        auto* stop = control<ImageButton>(window, surface);
        QTest::mousePress(stop, Qt::LeftButton);
        EXPECT_EQ(face("Image2_1"), 8) << surface;
        // Released away from the button: no click, the raised picture comes back.
        QTest::mouseRelease(stop, Qt::LeftButton, {}, QPoint(-5, -5));
        EXPECT_EQ(face("Image2_1"), 7) << surface;
    }
    // The Start and Stop pictures and the colour of Start's caption.
    const auto looks = [this] {
        return QStringLiteral("%1 %2 %3")
            .arg(face("Image2_0"))
            .arg(face("Image2_1"))
            .arg(control<QLabel>(window, "Label5_0")->palette().color(QPalette::WindowText).name());
    };
    click(window, "Label5_0");
    EXPECT_TRUE(window->countdown().isRunning);
    EXPECT_EQ(looks(), "8 7 #000000") << "the clicked Start stays selected";
    click(window, "Image2_1");
    EXPECT_FALSE(window->countdown().isRunning);
    EXPECT_EQ(looks(), "7 8 #ffffff");
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

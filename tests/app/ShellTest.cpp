// The main window's surfaces: pictures while pressed, keys, hiding, what screen readers find.
#include "app/MainWindowFixture.h"
#include "shell/ImageButton.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>

using namespace dormivo;

namespace {

using MainWindowShell = test::MainWindowFixture;

TEST_F(MainWindowShell, PressedButtonsShowTheirPressedPicture) {
    load();
    for (int i = 0; i < 3; ++i) {
        auto* small = control<ImageButton>(QStringLiteral("Image1_%1").arg(i).toLatin1());
        emit small->pressed();
        EXPECT_EQ(face(QStringLiteral("Image1_%1").arg(i).toLatin1()), 2 * i + 1) << i;
        emit small->released();
        EXPECT_EQ(face(QStringLiteral("Image1_%1").arg(i).toLatin1()), 2 * i + 2) << i;
        EXPECT_FALSE(small->pixmap().isNull()) << "the pictures are built in";
    }
    for (const char* surface : {"Image2_1", "Label5_1"}) {
        auto* stop = control<ImageButton>(surface);
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
            .arg(control<QLabel>("Label5_0")->palette().color(QPalette::WindowText).name());
    };
    QTest::mouseClick(control<ImageButton>("Label5_0"), Qt::LeftButton);
    EXPECT_TRUE(window->countdown().isRunning);
    EXPECT_EQ(looks(), "8 7 #000000") << "the clicked Start stays selected";
    QTest::mouseClick(control<ImageButton>("Image2_1"), Qt::LeftButton);
    EXPECT_FALSE(window->countdown().isRunning);
    EXPECT_EQ(looks(), "7 8 #ffffff");
}

TEST_F(MainWindowShell, KeysReachTheWindowAndStillTheFocusedBox) {
    load();
    window->show();
    QApplication::setActiveWindow(window.get());
    auto* box = control<QLineEdit>("txtTime");
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
    EXPECT_EQ(fakes.notifyIcons.calls.back().message, NotifyMessage::Delete);
    window->Image2_Click(kStopButton); // nothing is left to update; must not fail
    EXPECT_FALSE(window->countdown().isRunning);
}

TEST_F(MainWindowShell, EnterWithABadPeriodIsHandledOnceWhileItsBoxTakesTheFocus) {
    load();
    window->show();
    QApplication::setActiveWindow(window.get());
    auto* box = control<QLineEdit>("txtTime");
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

TEST_F(MainWindowShell, WithoutANotificationAreaHidingMinimizes) {
    fakes.notifyIcons.available = false;
    load();
    window->show();
    QTest::mouseClick(control<ImageButton>("Image1_1"), Qt::LeftButton);
    EXPECT_TRUE(window->isVisible()) << "the window stays reachable";
}

} // namespace

namespace dormivo {
namespace {

// The roles of the objects a reader can reach under a name (hidden ones it skips).
void collectNamed(QAccessibleInterface* node, const QString& name, QStringList& roles) {
    if (node->state().invisible)
        return;
    if (node->text(QAccessible::Name) == name)
        roles << QString::number(node->role());
    for (int i = 0; i < node->childCount(); ++i)
        collectNamed(node->child(i), name, roles);
}

TEST_F(MainWindowShell, ScreenReadersFindNamedButtonsAndTabAndSpaceWorkThem) {
    load();
    window->show();
    const struct {
        const char* control;
        const char* name;
        QAccessible::Role role;
    } expected[] = {
        {"Image2_0", "Start", QAccessible::Button},
        {"Image2_1", "Stop", QAccessible::Button},
        {"Image2_2", "Exit", QAccessible::Button},
        {"Image1_0", "Minimize", QAccessible::Button},
        {"Image1_1", "Hide to notification area", QAccessible::Button},
        {"Image1_2", "Close", QAccessible::Button},
        {"Label6_0", "File", QAccessible::ButtonMenu},
        {"Label6_1", "Option", QAccessible::ButtonMenu},
        {"Label6_2", "Help", QAccessible::ButtonMenu},
        {"txtTime", "After", QAccessible::EditableText},
        {"Combo1", "Action", QAccessible::ComboBox},
    };
    QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(window.get());
    for (const auto& [name, accessibleName, role] : expected) {
        QAccessibleInterface* node =
            QAccessible::queryAccessibleInterface(window->findChild<QWidget*>(name));
        ASSERT_TRUE(node) << name;
        if (role == QAccessible::ComboBox) { // named by its text, labelled by its label
            const auto labels = node->relations(QAccessible::Label);
            ASSERT_EQ(labels.size(), 1);
            EXPECT_EQ(labels.first().first->text(QAccessible::Name), accessibleName);
        } else {
            EXPECT_EQ(node->text(QAccessible::Name), accessibleName) << name;
        }
        EXPECT_EQ(node->role(), role) << name;
        if (role == QAccessible::Button || role == QAccessible::ButtonMenu) {
            QStringList found;
            collectNamed(tree, accessibleName, found);
            EXPECT_EQ(found, QStringList{QString::number(role)}) << "one object for " << name;
        }
    }

    QStringList tabStops;
    QWidget* stop = control<QWidget>("Combo1");
    do {
        if (stop->focusPolicy() & Qt::TabFocus && stop->isVisibleTo(window.get()))
            tabStops << stop->objectName();
        stop = stop->nextInFocusChain();
    } while (stop != control<QWidget>("Combo1"));
    for (const char* button : {"Image2_0", "Image2_1", "Image2_2", "Image1_0", "Label6_0"})
        EXPECT_TRUE(tabStops.contains(button)) << button;
    EXPECT_FALSE(tabStops.contains("Label5_0")) << "the caption is part of its button";
    EXPECT_EQ(tabStops.first(), "Combo1") << "Tab still starts in the action box";

    window->Image2_Click(kStartButton);
    auto* stopButton = control<ImageButton>("Image2_1");
    QTest::keyClick(stopButton, Qt::Key_Space);
    EXPECT_FALSE(window->countdown().isRunning);
    EXPECT_EQ(face("Image2_1"), 8);
}

} // namespace
} // namespace dormivo

// The label menus and the keys: which window each opens and how; a dialog whose settings fail
// as it loads; the countdown under a modal dialog.
#include "dialogs/frmMenu.h"
#include "shell/KeyPreview.h"
#include "support/MainWindowFixture.h"

#include <QApplication>

#include <functional>

using namespace dormivo;
using namespace dormivo::test;

namespace {

class Menus : public MainWindowFixture {
protected:
    frmMenu* help() { return window->findChild<frmMenu*>(); }
    // Runs an opening that may hold the caller until its window closes: looks at what is open
    // once the opening has shown it, then closes it.
    struct Seen {
        QString windowClass;
        bool modal = false;
    };
    Seen open(const std::function<void()>& opening) {
        Seen seen;
        // Scoped, so that an opening that does not hold the caller leaves nothing behind.
        QTimer whileHeld;
        whileHeld.setSingleShot(true);
        QObject::connect(&whileHeld, &QTimer::timeout, [&seen] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                seen = {QString::fromLatin1(modal->metaObject()->className()), true};
                modal->close();
            }
        });
        whileHeld.start(0);
        opening();
        for (const char* cls :
             {"dormivo::frmMenu", "dormivo::frmAbout", "dormivo::frmPrgSet", "dormivo::frmSetting"})
            if (QWidget* shown = windows.find(QString::fromLatin1(cls))) {
                seen = {QString::fromLatin1(cls), shown->isModal()};
                shown->close();
            }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return seen;
    }
    void keyUp(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyRelease(control<QLineEdit>(window, "txtTime"), key, modifiers);
    }
};

TEST_F(Menus, EachEntryAndKeyOpensItsWindowWithItsModality) {
    load();
    window->show();
    QApplication::setActiveWindow(window.get());
    control<QLineEdit>(window, "txtTime")->setFocus();
    struct Case {
        const char* what;
        std::function<void()> opening;
        const char* windowClass;
        bool modal;
    };
    MainWindowMenus& menus = window->menus();
    const Case cases[] = {
        {"Help menu, &Help", [&] { menus.labelMenu(2)->mnuSysTray_Click(0); }, "dormivo::frmMenu",
         true},
        {"Help menu, About", [&] { menus.labelMenu(2)->mnuSysTray_Click(2); }, "dormivo::frmAbout",
         true},
        {"F1", [&] { keyUp(Qt::Key_F1); }, "dormivo::frmMenu", false},
        {"Shift+F1", [&] { keyUp(Qt::Key_F1, Qt::ShiftModifier); }, "dormivo::frmMenu", false},
        {"Option menu, &Setting", [&] { menus.labelMenu(1)->mnuSysTray_Click(0); },
         "dormivo::frmPrgSet", true},
        {"Ctrl+T",
         [&] {
             QTest::keyClick(control<QLineEdit>(window, "txtTime"), Qt::Key_T, Qt::ControlModifier);
         },
         "dormivo::frmPrgSet", false},
        {"Option menu, Options", [&] { menus.labelMenu(1)->mnuSysTray_Click(2); },
         "dormivo::frmSetting", true},
        {"Ctrl+O", [&] { menus.Form_KeyPress(kCtrlO); }, "dormivo::frmSetting", false},
    };
    for (const auto& c : cases) {
        const Seen seen = open(c.opening);
        EXPECT_EQ(seen.windowClass, c.windowClass) << c.what;
        EXPECT_EQ(seen.modal, c.modal) << c.what;
        EXPECT_EQ(windows.loadedCount(), 1) << c.what << ": closing unloads it";
    }
    EXPECT_EQ(open([&] { keyUp(Qt::Key_F2); }).windowClass, QString()) << "other keys open nothing";
    EXPECT_TRUE(endings.empty());
}

TEST_F(Menus, ASecondModelessOpeningBringsTheOpenWindowBack) {
    load();
    window->menus().Form_KeyUp(kF1);
    frmMenu* first = help();
    ASSERT_NE(first, nullptr);
    click(first, "Label1_1"); // the shortcuts tab
    EXPECT_TRUE(first->findChild<QLabel*>("Label4")->isVisibleTo(first));
    first->showMinimized();
    window->menus().Form_KeyUp(kF1);
    EXPECT_EQ(window->findChildren<frmMenu*>().size(), 1);
    EXPECT_EQ(help(), first);
    EXPECT_FALSE(first->isMinimized());
    EXPECT_TRUE(first->findChild<QLabel*>("Label2")->isHidden()) << "not loaded again";

    window->menus().labelMenu(2)->mnuSysTray_Click(0); // a modal opening of the open one
    EXPECT_EQ(window->findChildren<frmMenu*>().size(), 1) << "and it did not hold the caller";

    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    window->menus().Form_KeyUp(kF1);
    EXPECT_FALSE(help()->findChild<QLabel*>("Label2")->isHidden()) << "loaded afresh";
}

TEST_F(Menus, AWindowOpenedWithoutModalityWhileOneIsModalIsMadeModalToo) {
    load();
    bool helpWasModal = false;
    QTimer whileHeld;
    whileHeld.setSingleShot(true);
    QObject::connect(&whileHeld, &QTimer::timeout, [&] {
        window->menus().Form_KeyUp(kF1); // F1 while About is held open
        helpWasModal = help() && help()->isModal();
        if (help())
            help()->close();
        if (QWidget* about = windows.find("dormivo::frmAbout"))
            about->close();
    });
    whileHeld.start(0);
    window->menus().labelMenu(2)->mnuSysTray_Click(2);
    EXPECT_TRUE(helpWasModal);
    EXPECT_EQ(windows.loadedCount(), 1);
}

// Both settings dialogs follow one rule when the settings file fails as they load: the user
// is told which file and why, the dialog unloads, and the program ends. By the key that opens
// the dialog and the table it needs.
class DialogLoad : public MainWindowFixture,
                   public ::testing::WithParamInterface<std::pair<int, const char*>> {};

TEST_P(DialogLoad, AFailingSettingsFileEndsTheProgram) {
    const auto [key, table] = GetParam();
    load();
    db.exec(std::string("alter table ") + table + " rename to gone");
    window->menus().Form_KeyPress(key);
    EXPECT_EQ(endings, std::vector<int>{1});
    EXPECT_TRUE(toldSettingsFailure(QStringLiteral("no such table: %1").arg(table)))
        << told().join('\n').toStdString();
    EXPECT_EQ(windows.loadedCount(), 1) << "the dialog unloaded";
}

INSTANTIATE_TEST_SUITE_P(, DialogLoad,
                         ::testing::Values(std::pair{kCtrlT, "tmpsetting"},
                                           std::pair{kCtrlO, "programs"}),
                         [](const auto& info) { return std::string(info.param.second); });

TEST_F(Menus, TheCountdownExpiresWhileAModalDialogIsOpen) {
    startCountdown(1);
    // The about window stays open until the action has run, or 10 seconds at the most.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [this] {
        fakes.clock.pass(20); // as the real one
        if (!fakes.launcher.started.isEmpty())
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
    });
    poll.start(20);
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    giveUp.start(10000);
    window->menus().labelMenu(2)->mnuSysTray_Click(2);
    EXPECT_EQ(fakes.launcher.started, QStringList{"/opt/dormivo/dormivo-power shutdown"});
    EXPECT_FALSE(window->countdown().isRunning);
}

} // namespace

// The label menus, the icon's menu and the keys: which window each opens and how, and how long
// the program lives with dialogs open.
#include "app/MainWindowFixture.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmMenu.h"
#include "dialogs/frmPrgSet.h"
#include "dialogs/frmSetting.h"
#include "shell/ImageButton.h"
#include "shell/KeyPreview.h"

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <functional>

using namespace dormivo;

namespace {

class Menus : public test::MainWindowFixture {
protected:
    frmMenu* help() { return window->findChild<frmMenu*>(); }
    void expectEndAtLoad(int ctrlKey, const char* table);
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
        QTest::keyRelease(control<QLineEdit>("txtTime"), key, modifiers);
    }
};

TEST_F(Menus, EachEntryAndKeyOpensItsWindowWithItsModality) {
    load();
    window->show();
    QApplication::setActiveWindow(window.get());
    control<QLineEdit>("txtTime")->setFocus();
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
         [&] { QTest::keyClick(control<QLineEdit>("txtTime"), Qt::Key_T, Qt::ControlModifier); },
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
    first->Label1_Click(1);
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

TEST_F(Menus, CtrlTAndCtrlOTwiceKeepTheOpenWindowAndItsEdits) {
    load();
    window->menus().Form_KeyPress(kCtrlT);
    auto* options = window->findChild<frmPrgSet*>();
    ASSERT_NE(options, nullptr);
    options->findChild<QCheckBox*>("chkRun")->setChecked(true);
    window->menus().Form_KeyPress(kCtrlO);
    auto* programs = window->findChild<frmSetting*>();
    ASSERT_NE(programs, nullptr);
    fakes.filePicker.nextPick = "/usr/bin/true";
    QTest::mouseClick(programs->findChild<QPushButton*>("cmdBrowse"), Qt::LeftButton);
    window->menus().Form_KeyPress(kCtrlT);
    window->menus().Form_KeyPress(kCtrlO);
    EXPECT_EQ(windows.loadedCount(), 3) << "one of each";
    EXPECT_TRUE(options->findChild<QCheckBox*>("chkRun")->isChecked()) << "not loaded again";
    EXPECT_EQ(programs->findChild<QListWidget*>("List1")->count(), 1) << "not loaded again";
}

// Both settings dialogs follow one rule when the settings file fails as they load: the user
// is told which file and why, the dialog unloads, and the program ends.
void Menus::expectEndAtLoad(int ctrlKey, const char* table) {
    load();
    db.exec(std::string("alter table ") + table + " rename to gone");
    window->menus().Form_KeyPress(ctrlKey);
    EXPECT_EQ(endings, std::vector<int>{1});
    EXPECT_TRUE(toldSettingsFailure(QStringLiteral("no such table: %1").arg(table)))
        << told().join('\n').toStdString();
    EXPECT_EQ(windows.loadedCount(), 1) << "the dialog unloaded";
}

TEST_F(Menus, TheStartupOptionsEndTheProgramWhenTheSettingsFileFails) {
    expectEndAtLoad(kCtrlT, "tmpsetting");
}

TEST_F(Menus, TheProgramsListEndsTheProgramWhenTheSettingsFileFails) {
    expectEndAtLoad(kCtrlO, "programs");
}

TEST_F(Menus, UnloadingTheMainWindowLeavesTheProgramToItsLastDialog) {
    struct Case {
        const char* what;
        std::function<void(frmShutdown&)> unload;
    };
    const Case cases[] = {
        {"Ctrl+X", [](frmShutdown& w) { w.menus().Form_KeyPress(kCtrlX); }},
        {"File, &Close", [](frmShutdown& w) { w.menus().labelMenu(0)->mnuSysTray_Click(4); }},
        {"close picture",
         [](frmShutdown& w) {
             QTest::mouseClick(w.findChild<ImageButton*>("Image1_2"), Qt::LeftButton);
         }},
    };
    for (const auto& c : cases) {
        window.reset();
        WindowTable table([this](int status) { endings.push_back(status); });
        endings.clear();
        resetFlags();
        window = std::make_unique<frmShutdown>(fakes.platform, db.store(), table);
        table.add(window.get());
        window->load();
        window->show();
        window->menus().Form_KeyUp(kF1);
        ASSERT_NE(help(), nullptr);
        c.unload(*window);
        EXPECT_EQ(fakes.notifyIcons.calls.back().message, NotifyMessage::Delete) << c.what;
        EXPECT_TRUE(endings.empty()) << c.what << ": the help window is still open";
        help()->close();
        EXPECT_EQ(endings, std::vector<int>{0}) << c.what;
        window.reset();
    }
}

TEST_F(Menus, ASecondStartLoadsTheMainWindowAgainThatALeftoverDialogOutlived) {
    // Brought back as a first start brings it: running again from the next-start row.
    db.exec("INSERT INTO tmpsetting VALUES ('0', 'Started', 2, 0, 1, '0')");
    load();
    window->show();
    window->menus().Form_KeyUp(kF1);
    window->menus().Form_KeyPress(kCtrlX);
    ASSERT_FALSE(windows.isLoaded(window.get()));
    fakes.notifyIcons.calls.clear();

    window->bringBack();
    EXPECT_TRUE(windows.isLoaded(window.get()));
    EXPECT_TRUE(window->isVisible());
    ASSERT_FALSE(fakes.notifyIcons.calls.empty());
    EXPECT_EQ(fakes.notifyIcons.calls.front().message, NotifyMessage::Add) << "the icon is back";
    EXPECT_EQ(control<QComboBox>("Combo1")->count(), 6);
    EXPECT_EQ(text("txtTime") + " " + text("Combo1"), "2 Restart");
    EXPECT_TRUE(window->countdown().isRunning && timerRunning());
    EXPECT_EQ(window->countdown().totalSeconds, 120);

    help()->close();
    window->close();
    EXPECT_EQ(endings, std::vector<int>{0}) << "closing it again ends the program";
}

TEST_F(Menus, TheIconsCloseEndsAtOnceWithADialogOpen) {
    load();
    window->menus().Form_KeyUp(kF1);
    window->trayIcon()->mnuSysTray_Click(4);
    EXPECT_EQ(endings, std::vector<int>{0});
    EXPECT_NE(help(), nullptr) << "no window is unloaded on the way";
}

TEST_F(Menus, TheCountdownExpiresWhileAModalDialogIsOpen) {
    startCountdown(1);
    // The about window stays open until the action has run, or 10 seconds at the most.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [this] {
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

TEST_F(Menus, TheIconsMenuStartsStopsAndBringsTheWindowBack) {
    load();
    ASSERT_EQ(fakes.notifyIcons.offeredMenus.size(), 1u) << "only the icon's menu";
    const auto [icon, menu] = fakes.notifyIcons.offeredMenus.front();
    EXPECT_EQ(icon, window->trayIcon());
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << action->text();
    EXPECT_EQ(texts, (QStringList{"&Start", "Sto&p", "", "&Main", "&Close"}));
    EXPECT_EQ(menu->defaultAction(), menu->actions()[0]);

    window->show();
    menu->actions()[0]->trigger();
    EXPECT_TRUE(window->countdown().isRunning);
    QTest::mouseClick(control<ImageButton>("Image1_1"), Qt::LeftButton);
    ASSERT_FALSE(window->isVisible()) << "hidden to the notification area";
    EXPECT_TRUE(window->countdown().isRunning);
    menu->actions()[3]->trigger();
    EXPECT_TRUE(window->isVisible()) << "Main brings the hidden window back";
    menu->actions()[1]->trigger();
    EXPECT_FALSE(window->countdown().isRunning);
}

} // namespace

#include "app/MainWindowFixture.h"
#include "common/Words.h"
#include "shell/ImageButton.h"
#include "store/StoreError.h"

#include <QTest>

#include <functional>
#include <utility>

using namespace dormivo;

using Startup = test::MainWindowFixture;

TEST_F(Startup, TheLastStateIsRestored) {
    // The settings rows, then what the window shows: period, unit, action, state, the
    // programs' flag, the seconds counted down, the Start and Stop pictures.
    const struct {
        const char* setting;
        const char* tmpsetting;
        const char* shown;
    } cases[] = {
        {"", "", "5 Minutes Shut Down '' '' stopped 7 7"},
        {"('25', 1, 4, '1', 'Started', '0')", "('0', 'Stoped', 10, 0, 2, '0')",
         "25 Hours Hibernate '' '1' stopped 7 8"},
        {"(NULL, 7, 6, NULL, NULL, NULL)", "", "5 Minutes Shut Down '' '' stopped 7 8"},
        {"('3', 0, 0, '0', 'Stoped', '0')", "('0', 'Started', 10, 1, 2, '1')",
         "10 Hours Log Off 'Running' '1' 36000 s 8 7"},
    };
    for (const auto& c : cases) {
        window.reset(); // it saves its state as it goes
        db.exec("DELETE FROM setting; DELETE FROM tmpsetting");
        if (*c.setting)
            db.exec(std::string("INSERT INTO setting VALUES ") + c.setting);
        if (*c.tmpsetting)
            db.exec(std::string("INSERT INTO tmpsetting VALUES ") + c.tmpsetting);
        load();
        const auto& countdown = window->countdown();
        EXPECT_EQ(countdown.isRunning, timerRunning()) << c.shown;
        EXPECT_EQ(QStringLiteral("%1 %2 %3 '%4' '%5' %6 %7 %8")
                      .arg(text("txtTime"), text("cmbtime"), text("Combo1"), text("Label3"),
                           QString::fromStdString(gProgramsActive),
                           countdown.isRunning ? QString::number(countdown.totalSeconds) + " s"
                                               : "stopped")
                      .arg(face("Image2_0"))
                      .arg(face("Image2_1")),
                  c.shown);
        EXPECT_TRUE(fakes.messages.shown.empty()) << c.shown;
    }
    EXPECT_EQ(db.scalar("SELECT period||'|'||Type||'|'||Action||'|'||Status FROM setting"),
              "10|1|2|Started")
        << "a restored start is saved as a start";
}

TEST_F(Startup, AFreshStoreWritesNothing) {
    load();
    EXPECT_EQ(db.scalar("SELECT count(*) FROM setting"), "0");
}

TEST_F(Startup, AnEmptyActionListRefusesToStartAndWritesNothing) {
    db.exec("DELETE FROM actions");
    db.exec("INSERT INTO tmpsetting VALUES ('0', 'Started', 10, 1, 2, '1')");
    EXPECT_THROW(load(), StoreError);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM setting"), "0");
}

TEST_F(Startup, TheIconGoesInOnceWithTheDescriptionReadsDormivoAndGoesWithTheWindow) {
    load();
    const auto& calls = fakes.notifyIcons.calls;
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0].message, NotifyMessage::Add);
    EXPECT_EQ(calls[0].data.tipText(), kFileDescription);
    EXPECT_EQ(calls[1].data.tipText(), "Dormivo");
    for (std::size_t i = 1; i < calls.size(); ++i)
        EXPECT_NE(calls[i].message, NotifyMessage::Add) << "only one icon is added";

    window->show();
    window->close();
    EXPECT_TRUE(std::any_of(calls.begin(), calls.end(), [&](const auto& call) {
        return call.message == NotifyMessage::Delete && call.data.hWnd == calls[0].data.hWnd &&
               call.data.uID == calls[0].data.uID;
    })) << "the icon that went in goes out";
}

TEST(StartupEnding, EveryWayOfEndingWorksFromTheFirstMessageBoxOfTheLoad) {
    struct Case {
        const char* what;
        std::function<void(frmShutdown&)> whileTheBoxIsOpen;
        std::vector<int> endings;
        bool mainWindowLoaded;
    };
    const Case cases[] = {
        {"icon Main, then the close picture",
         [](frmShutdown& w) {
             w.trayIcon()->mnuSysTray_Click(3);
             QTest::mouseClick(w.findChild<ImageButton*>("Image1_2"), Qt::LeftButton);
         },
         {0},
         false},
        {"icon Close", [](frmShutdown& w) { w.trayIcon()->mnuSysTray_Click(4); }, {0}, true},
        {"Exit", [](frmShutdown& w) { w.Image2_Click(kExitButton); }, {0}, false},
        {"nothing", [](frmShutdown&) {}, {}, true},
    };
    for (const auto& c : cases) {
        test::FakePlatform fakes;
        test::TempDatabase db;
        // Restored running on "Lauch Program" with no programs: the load shows a message box.
        db.exec("INSERT INTO tmpsetting VALUES ('0', 'Started', 5, 0, 5, '1')");
        std::vector<int> endings;
        WindowTable windows([&endings](int status) { endings.push_back(status); });
        frmShutdown window(fakes.platform, db.store(), windows);
        windows.add(&window);
        bool acted = false;
        fakes.messages.whileShown = [&] {
            if (!std::exchange(acted, true))
                c.whileTheBoxIsOpen(window);
        };
        window.load();
        ASSERT_EQ(fakes.messages.shown.size(), 1u) << c.what;
        EXPECT_EQ(endings, c.endings) << c.what;
        EXPECT_EQ(windows.hasEnded(), !c.endings.empty()) << c.what;
        EXPECT_EQ(windows.isLoaded(&window), c.mainWindowLoaded) << c.what;
        if (!c.mainWindowLoaded) {
            EXPECT_EQ(fakes.notifyIcons.calls.back().message, NotifyMessage::Delete) << c.what;
        }
    }
}

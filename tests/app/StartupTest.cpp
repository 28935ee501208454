#include "ImageButton.h"
#include "MainWindowFixture.h"
#include "ProgramsActive.h"
#include "StoreError.h"

#include <QTest>

#include <functional>
#include <utility>

using namespace dormivo;

using Startup = test::MainWindowFixture;

TEST_F(Startup, FreshStoreComesUpStoppedWithTheDesignDefaults) {
    load();
    EXPECT_EQ(text("cmbtime"), "Minutes");
    EXPECT_EQ(text("Combo1"), "Shut Down");
    EXPECT_EQ(text("lblCaption"), "Shut Down");
    EXPECT_EQ(text("txtTime"), "5");
    EXPECT_EQ(control<QComboBox>("Combo1")->count(), 6);
    EXPECT_FALSE(window->countdown().isRunning);
    EXPECT_FALSE(timerRunning());
    EXPECT_TRUE(gProgramsActive.empty());
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_EQ(db.scalar("SELECT count(*) FROM setting"), "0");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(window->buttonPicture(i), 7) << i;
}

TEST_F(Startup, StartedNextStartStateComesUpRunning) {
    db.exec("INSERT INTO setting VALUES ('3', 0, 0, '0', 'Stoped', '0')");
    db.exec("INSERT INTO tmpsetting VALUES ('0', 'Started', 10, 1, 2, '1')");
    load();
    EXPECT_TRUE(window->countdown().isRunning);
    EXPECT_TRUE(timerRunning());
    EXPECT_EQ(window->countdown().totalSeconds, 36000);
    EXPECT_EQ(text("Combo1"), "Log Off");
    EXPECT_EQ(text("cmbtime"), "Hours");
    EXPECT_EQ(text("txtTime"), "10");
    EXPECT_EQ(text("Label3"), "Running");
    EXPECT_EQ(gProgramsActive, "1");
    EXPECT_EQ(db.scalar("SELECT period||'|'||Type||'|'||Action||'|'||Status FROM setting"),
              "10|1|2|Started");
    EXPECT_EQ(window->buttonPicture(0), 8);
    EXPECT_EQ(window->buttonPicture(1), 7);
}

TEST_F(Startup, StopedNextStartStateShowsTheLastStart) {
    db.exec("INSERT INTO setting VALUES ('25', 1, 4, '1', 'Started', '0')");
    db.exec("INSERT INTO tmpsetting VALUES ('0', 'Stoped', 10, 0, 2, '0')");
    load();
    EXPECT_FALSE(window->countdown().isRunning);
    EXPECT_EQ(text("txtTime"), "25");
    EXPECT_EQ(text("cmbtime"), "Hours");
    EXPECT_EQ(text("Combo1"), "Hibernate");
    EXPECT_EQ(gProgramsActive, "1");
}

TEST_F(Startup, ValuesThatDoNotFitTheirControlAreSkipped) {
    db.exec("INSERT INTO setting VALUES (NULL, 7, 6, NULL, NULL, NULL)");
    load();
    EXPECT_EQ(text("txtTime"), "5");
    EXPECT_EQ(text("cmbtime"), "Minutes");
    EXPECT_EQ(text("Combo1"), "Shut Down");
    EXPECT_TRUE(gProgramsActive.empty());
    EXPECT_FALSE(window->countdown().isRunning);
}

TEST_F(Startup, AnEmptyActionListRefusesToStartAndWritesNothing) {
    db.exec("DELETE FROM actions");
    db.exec("INSERT INTO tmpsetting VALUES ('0', 'Started', 10, 1, 2, '1')");
    EXPECT_THROW(load(), StoreError);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM setting"), "0");
}

TEST_F(Startup, TheIconGoesInWithTheDescriptionThenReadsDormivo) {
    load();
    const auto& calls = fakes.notifyIcons.calls;
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0].message, NotifyMessage::Add);
    EXPECT_EQ(calls[0].data.tipText(), kFileDescription);
    EXPECT_EQ(calls[1].message, NotifyMessage::Modify);
    EXPECT_EQ(calls[1].data.tipText(), "Dormivo");
    for (std::size_t i = 1; i < calls.size(); ++i)
        EXPECT_NE(calls[i].message, NotifyMessage::Add) << "only one icon is added";
    EXPECT_EQ(window->trayIcon()->ToolTip(), "Dormivo");
}

TEST_F(Startup, UnloadTakesTheIconOut) {
    load();
    window->show();
    window->close();
    const auto& last = fakes.notifyIcons.calls.back();
    EXPECT_EQ(last.message, NotifyMessage::Delete);
    const auto added = fakes.notifyIcons.calls.front().data;
    const bool removed = std::any_of(
        fakes.notifyIcons.calls.begin(), fakes.notifyIcons.calls.end(), [&](const auto& call) {
            return call.message == NotifyMessage::Delete && call.data.hWnd == added.hWnd &&
                   call.data.uID == added.uID;
        });
    EXPECT_TRUE(removed);
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
        {"Exit", [](frmShutdown& w) { w.Image2_Click(2); }, {0}, false},
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

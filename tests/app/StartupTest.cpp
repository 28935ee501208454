#include "dialogs/frmMenu.h"
#include "shell/KeyPreview.h"
#include "support/MainWindowFixture.h"

#include <functional>
#include <utility>

using namespace dormivo;
using namespace dormivo::test;

namespace {

using Startup = MainWindowFixture;

TEST_F(Startup, TheLastStateIsRestored) {
    // A restored start is the end-to-end desktops' case.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"", "", "5 Minutes Shut Down '' '' stopped 7 7"},
        {"('25', 1, 4, '1', 'Started', '0')", "('0', 'Stoped', 10, 0, 2, '0')",
         "25 Hours Hibernate '' '1' stopped 7 8"},
        {"(NULL, 7, 6, NULL, NULL, NULL)", "", "5 Minutes Shut Down '' '' stopped 7 8"},
    };
    for (const auto& [setting, tmpsetting, shown] : cases) {
        window.reset(); // it saves its state as it goes
        db.exec("DELETE FROM setting; DELETE FROM tmpsetting");
        if (*setting)
            db.exec(std::string("INSERT INTO setting VALUES ") + setting);
        if (*tmpsetting)
            db.exec(std::string("INSERT INTO tmpsetting VALUES ") + tmpsetting);
        load();
        const auto& countdown = window->countdown();
        EXPECT_EQ(countdown.isRunning, timerRunning()) << shown;
        EXPECT_EQ(QStringLiteral("%1 %2 %3 '%4' '%5' %6 %7 %8")
                      .arg(text("txtTime"), text("cmbtime"), text("Combo1"), text("Label3"),
                           QString::fromStdString(gProgramsActive),
                           countdown.isRunning ? QString::number(countdown.totalSeconds) + " s"
                                               : "stopped")
                      .arg(face("Image2_0"))
                      .arg(face("Image2_1")),
                  shown);
        EXPECT_TRUE(fakes.messages.shown.empty()) << shown;
        EXPECT_EQ(db.scalar("SELECT count(*) FROM setting"), *setting ? "1" : "0")
            << "loading adds no row";
    }
}

// A way of ending, at the load's message box or with the help window open, a countdown running.
struct EndingCase {
    const char* name;
    bool whileTheLoadsBoxIsOpen;
    std::function<void(frmShutdown&)> act;
    std::vector<int> endings;
    bool mainWindowLoaded;
};

void iconsClose(frmShutdown& w) {
    w.trayIcon()->mnuSysTray_Click(4);
}

// clang-format off
const EndingCase kEndings[] = {
    {"AtTheBoxIconsMainThenClosePicture", true, [](frmShutdown& w) { w.trayIcon()->mnuSysTray_Click(3); click(&w, "Image1_2"); }, {0}, false},
    {"AtTheBoxIconsClose", true, iconsClose, {0}, true},
    {"AtTheBoxExit", true, [](frmShutdown& w) { w.Image2_Click(kExitButton); }, {0}, false},
    {"AtTheBoxNothing", true, [](frmShutdown&) {}, {}, true},
    // The program lives on with the help window, and ends when that closes (Ctrl+X: end-to-end).
    {"WithHelpExit", false, [](frmShutdown& w) { w.Image2_Click(kExitButton); }, {0}, false},
    {"WithHelpIconsClose", false, iconsClose, {0}, true}, // at once, no window unloaded
};
// clang-format on

void PrintTo(const EndingCase& c, std::ostream* out) {
    *out << c.name;
}

class Ending : public MainWindowFixture, public ::testing::WithParamInterface<EndingCase> {};

TEST_P(Ending, TheProgramEndsOnceNoWindowIsLoaded) {
    const EndingCase& c = GetParam();
    if (c.whileTheLoadsBoxIsOpen) {
        // Restored running on "Lauch Program" with no programs: a message box follows the load.
        db.exec("INSERT INTO tmpsetting VALUES ('0', 'Started', 5, 0, 5, '1')");
        bool acted = false;
        fakes.messages.whileShown = [&] {
            if (!std::exchange(acted, true))
                c.act(*window);
        };
        load();
        EXPECT_TRUE(fakes.messages.shown.empty()) << "told only once Start has returned";
        QCoreApplication::processEvents();
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
    } else {
        load();
        window->show();
        window->Image2_Click(kStartButton);
        window->menus().Form_KeyUp(kF1);
        ASSERT_NE(window->findChild<frmMenu*>(), nullptr);
        c.act(*window);
    }
    EXPECT_EQ(endings, c.endings);
    EXPECT_EQ(windows.hasEnded(), !c.endings.empty());
    EXPECT_EQ(windows.isLoaded(window.get()), c.mainWindowLoaded);
    if (!c.mainWindowLoaded) {
        EXPECT_EQ(fakes.notifyIcons.last, NotifyMessage::Delete);
        EXPECT_FALSE(timerRunning()) << "an unloaded window's countdown ticks no more";
    }
    if (auto* help = window->findChild<frmMenu*>()) {
        help->close();
        EXPECT_EQ(endings, std::vector<int>{0}) << "closing the last window ends it";
    }
}

INSTANTIATE_TEST_SUITE_P(, Ending, ::testing::ValuesIn(kEndings),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

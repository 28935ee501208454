#include "shell/frmSysTray.h"
#include "common/Flags.h"
#include "common/Words.h"
#include "platform/QtNotifyIconShell.h"
#include "support/FakePlatform.h"

#include <QMenu>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace dormivo;

namespace {

class TrayComponent : public ::testing::Test {
protected:
    const std::vector<test::NotifyCall>& calls() const { return shell.calls; }

    test::FakeNotifyIconShell shell;
};

QString padded(const QString& tip) {
    return tip + QChar(u'\0') + QString(NotifyIconData::kTipLength - tip.size() - 1, ' ');
}

TEST_F(TrayComponent, TheFirstUseAddsTheIconAndChangesSendOnlyWhatChanged) {
    frmSysTray tray(shell);
    EXPECT_TRUE(calls().empty()) << "nothing happens before the first use";
    tray.setToolTip("Dormivo");
    tray.setToolTip("Dormivo");
    tray.setIconHandle(tray.IconHandle());
    tray.setIconHandle(42);
    QStringList sent; // message, flags and tip of each call
    for (const auto& call : calls())
        sent << QStringLiteral("%1 %2 %3")
                    .arg(int(call.message))
                    .arg(call.data.uFlags)
                    .arg(QtNotifyIconShell::shownTip(call.data));
    EXPECT_EQ(sent, (QStringList{QString("0 7 ") + kFileDescription, "1 4 Dormivo", "1 4 Dormivo",
                                 "1 2 Dormivo"}));
    EXPECT_EQ(calls()[0].data.hWnd, &tray);
    EXPECT_EQ(calls()[1].data.szTip, padded("Dormivo"));
    EXPECT_EQ(tray.IconHandle(), 42);

    const QString exactly63(63, 'x');
    tray.setToolTip(exactly63);
    tray.setToolTip(exactly63);
    EXPECT_EQ(calls().size(), 5u) << "a tip that fills the field exactly is not sent again";
}

TEST_F(TrayComponent, LongTipsAreCutToTheField) {
    frmSysTray tray(shell);
    const QString tip = QStringLiteral("remaining time to Lauch Program is ") + QString(36, 'z');
    tray.setToolTip(tip);
    EXPECT_EQ(calls().back().data.szTip, tip.left(64));
    EXPECT_EQ(tray.ToolTip(), tip.left(64));
    EXPECT_EQ(QtNotifyIconShell::shownTip(calls().back().data), tip.left(63));
    EXPECT_EQ(QtNotifyIconShell::shownTip(calls()[0].data), kFileDescription);
}

TEST_F(TrayComponent, ALaterInstanceOnlyServesAsAMenu) {
    frmSysTray first(shell);
    first.setToolTip("Dormivo");
    trayIconShown = true;
    {
        frmSysTray second(shell);
        second.AddMenuItem("&Setting", "Setting");
        second.setToolTip("ignored");
        second.setIconHandle(9);
        for (const auto& call : calls()) {
            if (call.message == NotifyMessage::Add) {
                EXPECT_EQ(call.data.hWnd, &first) << "only the first instance adds an icon";
            }
            if (call.message == NotifyMessage::Modify && call.data.szTip != padded("Dormivo")) {
                EXPECT_EQ(call.data.hWnd, nullptr) << "a record that names no icon";
            }
        }
    }
    EXPECT_EQ(calls().back().message, NotifyMessage::Delete);
    EXPECT_EQ(calls().back().data.hWnd, nullptr);
}

TEST_F(TrayComponent, ClicksOnTheIconBecomeMouseEvents) {
    frmSysTray tray(shell);
    QStringList events;
    QObject::connect(&tray, &frmSysTray::SysTrayMouseDown,
                     [&](int b) { events << QString("down %1").arg(b); });
    QObject::connect(&tray, &frmSysTray::SysTrayMouseUp,
                     [&](int b) { events << QString("up %1").arg(b); });
    QObject::connect(&tray, &frmSysTray::SysTrayMouseMove, [&] { events << "move"; });
    QObject::connect(&tray, &frmSysTray::SysTrayDoubleClick,
                     [&](int b) { events << QString("double %1").arg(b); });
    using Reason = QSystemTrayIcon::ActivationReason;
    const std::pair<Reason, QStringList> clicks[] = {
        {QSystemTrayIcon::Trigger, {"down 1", "up 1"}},
        {QSystemTrayIcon::Context, {"down 2", "up 2"}},
        {QSystemTrayIcon::DoubleClick, {"double 1"}},
        {QSystemTrayIcon::MiddleClick, {}},
        {QSystemTrayIcon::Unknown, {}},
    };
    for (const auto& [reason, expected] : clicks) {
        events.clear();
        for (int message : QtNotifyIconShell::mouseMessages(reason))
            tray.notifyIconMessage(message);
        EXPECT_EQ(events, expected) << reason;
    }
}

TEST_F(TrayComponent, ChoosingAnItemRaisesMenuClickWithItsKey) {
    frmSysTray tray(shell);
    tray.AddMenuItem("&Start", "Start", true);
    tray.AddMenuItem("-");
    tray.AddMenuItem("&Close", "Close");
    QSignalSpy clicks(&tray, &frmSysTray::MenuClick);
    tray.offerMenuToHost();
    ASSERT_EQ(shell.offeredMenus.size(), 1u);
    const QMenu* menu = shell.offeredMenus[0].second;
    const auto actions = menu->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_TRUE(actions[0]->font().bold());
    EXPECT_FALSE(actions[2]->font().bold());
    EXPECT_EQ(menu->defaultAction(), actions[0]);
    actions[2]->trigger();
    tray.mnuSysTray_Click(1); // a separator
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks[0][0].toInt(), 2);
    EXPECT_EQ(clicks[0][1].toString(), "Close");
}

} // namespace

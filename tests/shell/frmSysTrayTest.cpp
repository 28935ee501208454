#include "shell/frmSysTray.h"
#include "common/Flags.h"
#include "common/Words.h"
#include "platform/QtNotifyIconShell.h"
#include "support/FakePlatform.h"

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

} // namespace

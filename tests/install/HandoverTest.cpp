#include "app/SingleInstance.h"
#include "install/RunningApp.h"
#include "shell/WindowTable.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QWidget>

#include <gtest/gtest.h>

using namespace dormivo;
using namespace dormivo::test;

namespace {

// The test process plays the first instance, with the same socket the program would find.
class HandoverTest : public testing::Test {
protected:
    void SetUp() override { qputenv("XDG_RUNTIME_DIR", user.home.path().toLocal8Bit()); }
    void TearDown() override { qunsetenv("XDG_RUNTIME_DIR"); }

    QProcess* start(const QString& activationToken = {}) {
        auto* process = new QProcess(&owner);
        QProcessEnvironment environment = user.environment();
        if (!activationToken.isEmpty())
            environment.insert("XDG_ACTIVATION_TOKEN", activationToken);
        process->setProcessEnvironment(environment);
        process->start(app.program(), {});
        return process;
    }

    AppFolder app;
    UserFolders user;
    QObject owner;
};

TEST_F(HandoverTest, SecondStartShowsTheFirstWindowAndExits) {
    SingleInstance first(app.settingsFile());
    ASSERT_TRUE(first.isFirst());
    QWidget window;
    window.showMinimized();
    window.hide(); // as when hidden to the notification area
    QByteArray handedToken;
    ASSERT_TRUE(first.listen([&](const ProgramCommand& command, SingleInstance::Answer answer) {
        handedToken = command.activationToken;
        bringToFront(&window, command.activationToken);
        answer({});
    }));

    // The token its launcher gave it lets a Wayland desktop bring the first window forward.
    QProcess* second = start("launcher-token_42");
    ASSERT_TRUE(runToEnd(*second));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isMinimized());
    EXPECT_EQ(handedToken, "launcher-token_42");
}

TEST_F(HandoverTest, KilledFirstInstanceDoesNotBlockTheNextStart) {
    // Asked before any program runs, so that this lookup never holds the lock it takes.
    const QString socket = SingleInstance(app.settingsFile()).socketPath();
    QProcess* killed = start();
    ASSERT_TRUE(waitUntil([&] { return QFileInfo::exists(socket); }));
    killed->kill();
    ASSERT_TRUE(runToEnd(*killed));
    ASSERT_TRUE(QFileInfo::exists(socket)) << "the killed program left its socket behind";

    QProcess* next = start();
    ASSERT_TRUE(waitUntil([&] {
        QLocalSocket probe;
        probe.connectToServer(socket);
        return probe.waitForConnected(1000);
    })) << "the next start never listened";
    QProcess* third = start();
    ASSERT_TRUE(runToEnd(*third));
    EXPECT_EQ(third->exitCode(), 0) << "the third start handed over to the next one";
    EXPECT_EQ(next->state(), QProcess::Running);
    next->kill();
    runToEnd(*next);
}

} // namespace

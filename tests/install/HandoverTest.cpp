#include "app/SingleInstance.h"
#include "install/RealProgram.h"
#include "shell/WindowTable.h"

#include <QFileInfo>
#include <QLocalSocket>
#include <QWidget>

#include <gtest/gtest.h>

using namespace dormivo;
using namespace dormivo::test;

namespace {

TEST(Handover, SecondStartShowsTheFirstWindowAndExits) {
    AppFolder app;
    UserFolders user;
    // The test process plays the first instance, with the same socket the program would find.
    qputenv("XDG_RUNTIME_DIR", user.home.path().toLocal8Bit());
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
    QProcessEnvironment environment = user.environment();
    environment.insert("XDG_ACTIVATION_TOKEN", "launcher-token_42");
    RealProgram second(app, environment);
    ASSERT_TRUE(runToEnd(second));
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isMinimized());
    EXPECT_EQ(handedToken, "launcher-token_42");
}

TEST(Handover, KilledFirstInstanceDoesNotBlockTheNextStart) {
    AppFolder app;
    UserFolders user;
    // Asked before any program runs, so that this lookup never holds the lock it takes.
    qputenv("XDG_RUNTIME_DIR", user.home.path().toLocal8Bit());
    const QString socket = SingleInstance(app.settingsFile()).socketPath();
    qunsetenv("XDG_RUNTIME_DIR");
    {
        RealProgram killed(app, user.environment());
        ASSERT_TRUE(killed.runsUntil([&] { return QFileInfo::exists(socket); }));
    }
    ASSERT_TRUE(QFileInfo::exists(socket)) << "the killed program left its socket behind";

    RealProgram next(app, user.environment());
    ASSERT_TRUE(next.runsUntil([&] {
        QLocalSocket probe;
        probe.connectToServer(socket);
        return probe.waitForConnected(1000);
    })) << "the next start never listened";
    RealProgram third(app, user.environment());
    ASSERT_TRUE(runToEnd(third));
    EXPECT_EQ(third.exitCode(), 0) << "the third start handed over to the next one";
    EXPECT_EQ(next.state(), QProcess::Running);
}

} // namespace

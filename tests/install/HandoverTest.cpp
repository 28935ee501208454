// A later start hands over to the first; this test process plays the first, with the socket
// the program finds, so that what happens to its window can be seen.
#include "app/SingleInstance.h"
#include "shell/WindowTable.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

using namespace dormivo;

TEST(Handover, SecondStartShowsTheFirstWindowAndExits) {
    // A copy of the program beside a settings file of its own, never the build's.
    QTemporaryDir app;
    QTemporaryDir home;
    const QDir built = QFileInfo(QStringLiteral(DORMIVO_BINARY)).dir();
    for (const QString name : {"dormivo", "info.velkaro"})
        ASSERT_TRUE(QFile::copy(built.filePath(name), app.filePath(name)));
    qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
    SingleInstance first(app.filePath("info.velkaro"));
    qunsetenv("XDG_RUNTIME_DIR");
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
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"})
        environment.insert(name, home.path());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_ACTIVATION_TOKEN", "launcher-token_42");
    QProcess second; // killed, if it still runs, when it goes
    second.setProcessEnvironment(environment);
    QSignalSpy finished(&second, &QProcess::finished);
    second.start(app.filePath("dormivo"), {});
    ASSERT_TRUE(finished.wait(15000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isMinimized());
    EXPECT_EQ(handedToken, "launcher-token_42");
}

#include "QtPrinting.h"
#include "RunningApp.h"

#include <gtest/gtest.h>

using namespace dormivo::test;

TEST(CommandLine, PrintsAndExitsBeforeAnyWindow) {
    struct Case {
        QStringList arguments;
        bool display;
        int status;
        QString out; // the start of stdout
        QString err; // the start of stderr
    };
    const QString usage = "Usage: dormivo [options]\n";
    const Case cases[] = {
        {{"--help"}, false, 0, usage, ""},
        {{"-h"}, true, 0, usage, ""},
        {{"--version"}, false, 0, "Dormivo 1.0\n", ""},
        {{"-v"}, true, 0, "Dormivo 1.0\n", ""},
        {{"--bogus"}, true, 2, "", "dormivo: Unknown option 'bogus'.\nUsage: dormivo"},
        {{"now"}, false, 2, "", "dormivo: unexpected argument 'now'\nUsage: dormivo"},
        {{}, false, 1, "", "dormivo: no display"},
    };
    for (const auto& c : cases) {
        UserFolders user;
        QProcessEnvironment environment = user.environment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        if (!c.display)
            environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(DORMIVO_BINARY), c.arguments);
        ASSERT_TRUE(runToEnd(process));
        const std::string what = c.arguments.join(' ').toStdString();
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << what; // no abort, no core
        EXPECT_EQ(process.exitCode(), c.status) << what;
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        EXPECT_EQ(QString::fromLocal8Bit(process.readAllStandardOutput()).left(c.out.size()), c.out)
            << what;
        EXPECT_EQ(err.left(c.err.size()), c.err) << what;
        EXPECT_TRUE(c.status != 1 || err.count('\n') == 1) << "one line on stderr";
    }
}

#include "install/RunningApp.h"
#include "support/QtPrinting.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using namespace dormivo::test;

namespace {

// An X display number no server uses.
QString unusedDisplay() {
    int n = 1000;
    while (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) ||
           QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
        ++n;
    return QStringLiteral(":%1").arg(n);
}

} // namespace

TEST(ProgramArguments, PrintsAndExitsBeforeAnyWindow) {
    struct Case {
        QStringList arguments;
        QString display; // empty: none at all; "offscreen": Qt's own
        int status;
        QString out; // the start of stdout
        QString err; // the start of stderr
    };
    const QString usage = "Usage: dormivo [options]\n";
    const QString offscreen = "offscreen";
    const QString deadDisplay = unusedDisplay();
    const Case cases[] = {
        {{"--help"}, {}, 0, usage, ""},
        {{"-h"}, offscreen, 0, usage, ""},
        {{"--version"}, {}, 0, "Dormivo 1.0\n", ""},
        {{"-v"}, offscreen, 0, "Dormivo 1.0\n", ""},
        {{"--bogus"}, offscreen, 2, "", "dormivo: Unknown option 'bogus'.\nUsage: dormivo"},
        {{"now"}, {}, 2, "", "dormivo: unexpected argument 'now'\nUsage: dormivo"},
        {{}, {}, 1, "", "dormivo: no display"},
        {{}, deadDisplay, 1, "", "dormivo: cannot open the X display \"" + deadDisplay + "\""},
    };
    for (const auto& c : cases) {
        UserFolders user;
        QProcessEnvironment environment = user.environment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        if (c.display != offscreen)
            environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        if (c.display.startsWith(':'))
            environment.insert(QStringLiteral("DISPLAY"), c.display);
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(DORMIVO_BINARY), c.arguments);
        ASSERT_TRUE(runToEnd(process));
        const std::string what = (c.arguments.join(' ') + " " + c.display).toStdString();
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << what; // no abort, no core
        EXPECT_EQ(process.exitCode(), c.status) << what;
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        EXPECT_EQ(QString::fromLocal8Bit(process.readAllStandardOutput()).left(c.out.size()), c.out)
            << what;
        EXPECT_EQ(err.left(c.err.size()), c.err) << what;
        EXPECT_TRUE(c.status != 1 || err.count('\n') == 1) << "one line on stderr: " << what;
    }
}

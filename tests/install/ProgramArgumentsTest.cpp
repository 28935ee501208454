#include "install/RealProgram.h"
#include "support/QtPrinting.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace dormivo::test;

// Questions to a Dormivo that does not run are answered without a display; without one, a
// start says so in a line and ends with status 1. (The end-to-end suite refuses bad input.)
TEST(ProgramArguments, AnswersAndExitsBeforeAnyWindow) {
    struct Case {
        QStringList arguments;
        QString display; // empty: none at all; "offscreen": Qt's own
        int status;
        QString out; // the start of stdout
        QString err; // the start of stderr
    };
    const QString offscreen = "offscreen";
    int unused = 1000; // an X display number no server uses
    while (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(unused)) ||
           QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(unused)))
        ++unused;
    const QString deadDisplay = QStringLiteral(":%1").arg(unused);
    const Case cases[] = {
        {{"--status"}, {}, 1, "Dormivo is not running\n", ""},
        {{"--stop"}, offscreen, 1, "", "dormivo: Dormivo is not running\n"},
        {{"--start", "5"}, {}, 1, "", "dormivo: no display"},
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
        const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
        EXPECT_EQ(out.left(c.out.size()), c.out) << what;
        EXPECT_EQ(err.left(c.err.size()), c.err) << what;
        EXPECT_EQ((out + err).count('\n'), 1) << "one line: " << what;
        EXPECT_EQ(QDir(user.home.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                  QStringList{})
            << "nothing made for the user: " << what;
    }
}

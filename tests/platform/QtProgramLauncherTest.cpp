#include "platform/QtProgramLauncher.h"
#include "platform/WatchedProcess.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace dormivo;

TEST(QtProgramLauncher, ReportsWhatCannotBeStartedAndAWatchedProgramThatFails) {
    QtProgramLauncher launcher;
    EXPECT_FALSE(launcher.start("/nonexistent/dormivo-power shutdown"));
    EXPECT_FALSE(launcher.start(""));
    EXPECT_TRUE(launcher.start("/bin/true"));
    QStringList reports;
    const auto report = [&](const QString& errors) { reports << errors; };
    ASSERT_TRUE(launcher.startWatched("/bin/sh", {"-c", "echo refused >&2; exit 3"}, report));
    ASSERT_TRUE(launcher.startWatched("/bin/sh", {"-c", "kill -KILL $$"}, report));
    ASSERT_TRUE(launcher.startWatched("/bin/true", {}, report));
    // What it leaves running holds its error output open, and must not hold up the report.
    ASSERT_TRUE(
        launcher.startWatched("/bin/sh", {"-c", "sleep 8 & echo left >&2; exit 4"}, report));
    EXPECT_TRUE(QTest::qWaitFor(
        [] { return qApp->findChildren<WatchedProcess*>(Qt::FindDirectChildrenOnly).isEmpty(); },
        5000))
        << "watched programs not accounted for after five seconds";
    reports.sort();
    EXPECT_EQ(reports, (QStringList{"", "left", "refused"}));
    EXPECT_FALSE(launcher.startWatched("/nonexistent/dormivo-power", {"shutdown"}, report));
}

// Exit right after an expiry must not cut the power action short, nor report into it.
TEST(QtProgramLauncher, AWatchedProgramOutlivesTheApplication) {
    QTemporaryDir dir;
    const QString mark = dir.filePath("mark");
    const QString helper = dir.filePath("helper");
    QFile script(helper);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\nsleep 1\n: > '%1'\nexit 3\n").arg(mark).toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);

    QProcess probe;
    probe.start(DORMIVO_QUIT_WHILE_WATCHING, {helper});
    ASSERT_TRUE(probe.waitForFinished(10000));
    EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(probe.exitCode(), 0);
    EXPECT_EQ(probe.readAllStandardOutput(), "") << "nothing is reported once quitting";
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(mark); }, 10000))
        << "the watched program was cut short";
}

#include "platform/QtProgramLauncher.h"
#include "platform/WatchedProcess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileSystemWatcher>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace dormivo;

TEST(QtProgramLauncher, FindsProgramsWhosePathHasBlanks) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("my apps/dormivo 1");
    QDir().mkpath(folder);
    const QString helper = folder + "/dormivo-power";
    const QString plain = folder + "/notes.txt";
    for (const QString& path : {helper, plain})
        QFile(path).open(QIODevice::WriteOnly);
    QFile(helper).setPermissions(QFile::ReadOwner | QFile::ExeOwner);

    struct Case {
        QString commandLine;
        QStringList expected;
    };
    const Case cases[] = {
        {helper + " shutdown", {helper, "shutdown"}},
        {helper, {helper}},
        {plain, {plain}},
        {"\"" + helper + "\" restart now", {helper, "restart", "now"}},
        {"/usr/bin/env  A=1   \"two words\"", {"/usr/bin/env", "A=1", "two words"}},
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QtProgramLauncher::split(c.commandLine), c.expected)
            << c.commandLine.toStdString();
}

namespace {

// Runs the event loop until every watched program started so far has been accounted for.
void waitForEveryWatch() {
    QEventLoop loop;
    int pending = 0;
    for (QObject* watch : qApp->findChildren<WatchedProcess*>(Qt::FindDirectChildrenOnly)) {
        ++pending;
        QObject::connect(watch, &QObject::destroyed, &loop, [&] {
            if (--pending == 0)
                loop.quit();
        });
    }
    if (pending == 0)
        return;
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(pending, 0) << "watched programs not accounted for after five seconds";
}

} // namespace

TEST(QtProgramLauncher, ReportsWhatCannotBeStartedAndAWatchedProgramThatFails) {
    QtProgramLauncher launcher;
    EXPECT_FALSE(launcher.start("/nonexistent/dormivo-power shutdown"));
    EXPECT_FALSE(launcher.start(""));
    EXPECT_TRUE(launcher.start("/bin/true"));
    QStringList reports;
    const auto report = [&](const QString& errors) { reports << errors; };
    ASSERT_TRUE(launcher.startWatched("/bin/sh -c \"echo refused >&2; exit 3\"", report));
    ASSERT_TRUE(launcher.startWatched("/bin/sh -c \"kill -KILL $$\"", report));
    ASSERT_TRUE(launcher.startWatched("/bin/true", report));
    // What it leaves running holds its error output open, and must not hold up the report.
    ASSERT_TRUE(launcher.startWatched("/bin/sh -c \"sleep 8 & echo left >&2; exit 4\"", report));
    waitForEveryWatch();
    reports.sort();
    EXPECT_EQ(reports, (QStringList{"", "left", "refused"}));
    EXPECT_FALSE(launcher.startWatched("/nonexistent/dormivo-power shutdown", report));
}

// Exit right after an expiry must not cut the power action short, nor report into a
// program that is ending.
TEST(QtProgramLauncher, AWatchedProgramOutlivesTheApplication) {
    QTemporaryDir dir;
    const QString mark = dir.filePath("mark");
    const QString helper = dir.filePath("helper");
    QFile script(helper);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\nsleep 1\n: > '%1'\nexit 3\n").arg(mark).toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    QFileSystemWatcher watcher({dir.path()});
    QSignalSpy changes(&watcher, &QFileSystemWatcher::directoryChanged);

    QProcess probe;
    probe.start(DORMIVO_QUIT_WHILE_WATCHING, {helper});
    ASSERT_TRUE(probe.waitForFinished(10000));
    EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(probe.exitCode(), 0);
    EXPECT_EQ(probe.readAllStandardOutput(), "") << "nothing is reported once quitting";

    const QDeadlineTimer deadline(10000);
    while (!QFile::exists(mark) && changes.wait(int(deadline.remainingTime()))) {
    }
    EXPECT_TRUE(QFile::exists(mark)) << "the watched program was cut short";
}

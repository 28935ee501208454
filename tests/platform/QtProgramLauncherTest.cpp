#include "QtProgramLauncher.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace dormivo;

TEST(QtProgramLauncher, FindsProgramsWhosePathHasBlanks) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("my apps/dormivo 1");
    QDir().mkpath(folder);
    const QString helper = folder + "/dormivo-power";
    const QString plain = folder + "/notes.txt";
    for (const QString& path : {helper, plain}) {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
    }
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

TEST(QtProgramLauncher, ReportsWhatCannotBeStarted) {
    QtProgramLauncher launcher;
    EXPECT_FALSE(launcher.start("/nonexistent/dormivo-power shutdown"));
    EXPECT_FALSE(launcher.start(""));
    EXPECT_TRUE(launcher.start("/bin/true"));
}

TEST(QtProgramLauncher, ReportsAWatchedProgramThatFails) {
    QtProgramLauncher launcher;
    QStringList reports;
    const auto report = [&](const QString& errors) { reports << errors; };
    ASSERT_TRUE(launcher.startWatched("/bin/sh -c \"echo refused >&2; exit 3\"", report));
    ASSERT_TRUE(launcher.startWatched("/bin/true", report));
    QElapsedTimer clock;
    clock.start();
    while (reports.isEmpty() && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 200);
    EXPECT_EQ(reports, QStringList{"refused"});
    EXPECT_FALSE(launcher.startWatched("/nonexistent/dormivo-power shutdown", report));
}

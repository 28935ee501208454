#include "QtProgramLauncher.h"

#include <QDir>
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

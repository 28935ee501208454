#include "install/RunningApp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace dormivo::test;

namespace {

void writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

} // namespace

// A hive nested far deeper than any registry, as damage or an attack leaves it: the program
// sets it aside and starts with an empty one, so no autostart entry of ours is left either.
TEST(DeepHive, IsSetAsideAndTheProgramRuns) {
    AppFolder app;
    UserFolders user;
    const QDir config(user.home.filePath(QStringLiteral(".config")));
    const QString hive = config.filePath(QStringLiteral("dormivo/HKLM.reg"));
    const QString entry = config.filePath(QStringLiteral("autostart/dormivo-run-velkaro0.desktop"));
    const QByteArray deep = "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE" +
                            QByteArray("\\a").repeated(300000) + "]\n";
    writeFile(hive, deep);
    writeFile(entry, "[Desktop Entry]\n");

    QProcess program;
    program.setProcessEnvironment(user.environment());
    program.start(app.program(), {});
    const QString aside = hive + QStringLiteral(".bad");
    EXPECT_TRUE(waitUntil(
        [&] { return QFileInfo::exists(aside) || program.state() == QProcess::NotRunning; }));
    EXPECT_TRUE(waitUntil([&] { return !QFileInfo::exists(entry); }, std::chrono::seconds(2)));
    EXPECT_EQ(program.state(), QProcess::Running)
        << program.exitCode() << " " << program.readAllStandardError().toStdString();
    QFile kept(aside);
    EXPECT_TRUE(kept.open(QIODevice::ReadOnly) && kept.readAll() == deep);
    program.kill();
    runToEnd(program);
}

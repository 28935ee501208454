// Where the real program keeps a user's settings, and what it does when it cannot keep them.
#include "install/RealProgram.h"
#include "store/SettingsStore.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace dormivo;
using namespace dormivo::test;

namespace {

QByteArray contents(const QString& file) {
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

bool startupRowSaved(const QString& file) {
    try {
        const auto saved = SettingsStore::openFile(file.toStdString()).loadSettings();
        return saved && saved->status.text() == "Started" && saved->period.text() == "99";
    } catch (const StoreError&) {
        return false; // not there yet, or being written
    }
}

// An installed program (a root-owned application folder), or a settings file made read-only:
// an ordinary user's settings then live in a copy in their own data folder, made by the start
// that holds the lock; a second start meanwhile hands over and makes nothing.
TEST(SettingsAtStart, AUserWhoCannotWriteTheShippedFileWorksOnAPrivateCopy) {
    const auto user = nobody();
    if (!user)
        GTEST_SKIP() << "needs root (as in CI) to run the program as the user 'nobody'";
    for (const bool readOnlyFile : {false, true}) {
        AppFolder app;
        // Loading copies this start-up row into the settings, which needs a writable file. The
        // countdown it starts (99 hours) is far from running out when the program is killed.
        SettingsStore::openFile(app.settingsFile().toStdString())
            .connection()
            .execute("INSERT INTO tmpsetting (run, Status, period, Type, Action, active) "
                     "VALUES ('0', 'Started', 99, 1, 0, '0')");
        ::chmod(QFile::encodeName(app.path()).constData(), 0755);
        if (readOnlyFile) {
            user->own(app.path());
            user->own(app.settingsFile());
            ::chmod(QFile::encodeName(app.settingsFile()).constData(), 0444);
        }
        const QByteArray shipped = contents(app.settingsFile());
        UserFolders folders;
        user->own(folders.home.path());
        const QString copy = folders.file(".local/share/dormivo/info.velkaro");
        RealProgram first(app, folders.environment(), &*user);
        ASSERT_TRUE(first.runsUntil([&] {
            return startupRowSaved(copy) && listensIn(folders.home.path());
        })) << readOnlyFile
            << ": " << first.said().toStdString();
        EXPECT_EQ(contents(app.settingsFile()), shipped) << "the shipped default stays as it was";
        struct stat info {};
        ASSERT_EQ(::stat(QFile::encodeName(copy).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0600u);
        EXPECT_EQ(info.st_uid, user->uid);

        QFile::remove(copy);
        RealProgram second(app, folders.environment(), &*user);
        EXPECT_TRUE(runToEnd(second));
        EXPECT_EQ(second.exitCode(), 0) << second.said().toStdString();
        EXPECT_FALSE(QFileInfo::exists(copy)) << "the second start copied while the first ran";
    }
}

// Told in a message box, and on stderr, where a test can read it while the box waits.
TEST(SettingsAtStart, SaysWhichFileCannotBeUsedAndWhy) {
    const auto user = nobody();
    if (!user)
        GTEST_SKIP() << "needs root (as in CI) to run the program as the user 'nobody'";
    struct Case {
        bool asUser;
        // Returns the file the message must name.
        std::function<QString(const AppFolder&, QProcessEnvironment&, const UserFolders&)> arrange;
        QStringList told;
    };
    const Case cases[] = {
        {true, // no private copy can be made
         [](const AppFolder& app, QProcessEnvironment& environment, const UserFolders& folders) {
             ::chmod(QFile::encodeName(app.path()).constData(), 0755);
             const QString data = folders.file("data"); // root's, closed to the user
             QDir().mkpath(data);
             environment.insert("XDG_DATA_HOME", data);
             return QDir(data).filePath("dormivo/info.velkaro");
         },
         {"cannot be made in", "(Permission denied)"}},
        {false, // the main window cannot load
         [](const AppFolder& app, QProcessEnvironment&, const UserFolders&) {
             SettingsStore::openFile(app.settingsFile().toStdString())
                 .connection()
                 .execute("DROP TABLE actions");
             return app.settingsFile();
         },
         {"lacks a table", "(no such table: actions)"}},
    };
    for (const auto& c : cases) {
        AppFolder app;
        UserFolders folders;
        if (c.asUser)
            user->own(folders.home.path());
        QProcessEnvironment environment = folders.environment();
        const QString file = c.arrange(app, environment, folders);
        RealProgram program(app, environment, c.asUser ? &*user : nullptr);
        EXPECT_TRUE(program.says(QStringList(c.told) << file)) << program.said().toStdString();
    }
}

// A hive nested far deeper than any registry, as damage or an attack leaves it: the program
// sets it aside and starts with an empty one, so no autostart entry of ours is left either.
TEST(DeepHive, IsSetAsideAndTheProgramRuns) {
    AppFolder app;
    UserFolders user;
    const QString hive = user.file(".config/dormivo/HKLM.reg");
    const QString entry = user.file(".config/autostart/dormivo-run-velkaro0.desktop");
    const QByteArray deep = "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE" +
                            QByteArray("\\a").repeated(300000) + "]\n";
    writeFile(hive, deep);
    writeFile(entry, "[Desktop Entry]\n");
    RealProgram program(app, user.environment());
    EXPECT_TRUE(program.runsUntil([&] { return !QFileInfo::exists(entry); }))
        << program.exitCode() << " " << program.said().toStdString();
    EXPECT_EQ(contents(hive + ".bad"), deep);
}

} // namespace

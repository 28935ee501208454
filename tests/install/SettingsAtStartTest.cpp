// Where the real program keeps a user's settings, and what it says when it cannot keep them.
#include "install/RunningApp.h"
#include "store/SettingsStore.h"
#include "store/StoreError.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace dormivo;
using namespace dormivo::test;

namespace {

QByteArray digestOf(const QString& file) {
    QFile in(file);
    return in.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(in.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}

QString privateCopy(const UserFolders& folders) {
    return QDir(folders.home.path()).filePath(".local/share/dormivo/info.velkaro");
}

// A start-up row: loading copies it into the settings, which needs a writable file. The
// countdown it starts (99 hours) is far from running out when the program is killed.
void addStartupRow(const QString& file) {
    SettingsStore::openFile(file.toStdString())
        .connection()
        .execute("INSERT INTO tmpsetting (run, Status, period, Type, Action, active) "
                 "VALUES ('0', 'Started', 99, 1, 0, '0')");
}

bool startupRowSaved(const QString& file) {
    if (!QFileInfo::exists(file))
        return false;
    try {
        const auto saved = SettingsStore::openFile(file.toStdString()).loadSettings();
        return saved && saved->status.text() == "Started" && saved->period.text() == "99";
    } catch (const StoreError&) {
        return false; // not there yet, or being written
    }
}

void startAs(const OtherUser* user, QProcess& program, const AppFolder& app,
             const QProcessEnvironment& environment) {
    program.setProcessEnvironment(environment);
    if (user)
        user->runs(program);
    program.start(app.program(), {});
}

// An installed program (a root-owned application folder), or a settings file made read-only:
// an ordinary user's settings then live in a copy in their own data folder.
TEST(SettingsAtStart, AUserWhoCannotWriteTheShippedFileWorksOnAPrivateCopy) {
    const auto user = nobody();
    if (!user)
        GTEST_SKIP() << "needs root (as in CI) to run the program as the user 'nobody'";
    for (const bool readOnlyFile : {false, true}) {
        AppFolder app;
        addStartupRow(app.settingsFile());
        ::chmod(QFile::encodeName(app.path()).constData(), 0755);
        if (readOnlyFile) {
            user->own(app.path());
            user->own(app.settingsFile());
            ::chmod(QFile::encodeName(app.settingsFile()).constData(), 0444);
        }
        const QByteArray shipped = digestOf(app.settingsFile());
        UserFolders folders;
        user->own(folders.home.path());
        QProcess program;
        startAs(&*user, program, app, folders.environment());

        const QString copy = privateCopy(folders);
        EXPECT_TRUE(waitUntil([&] {
            return program.state() == QProcess::NotRunning || startupRowSaved(copy);
        })) << readOnlyFile;
        EXPECT_EQ(program.state(), QProcess::Running)
            << program.exitCode() << " " << program.readAllStandardError().toStdString();
        program.kill();
        runToEnd(program);

        EXPECT_EQ(digestOf(app.settingsFile()), shipped) << "the shipped default stays as it was";
        struct stat info {};
        ASSERT_EQ(::stat(QFile::encodeName(copy).constData(), &info), 0) << "no per-user copy";
        EXPECT_EQ(info.st_mode & 07777, 0600u);
        EXPECT_EQ(info.st_uid, user->uid);
    }
}

// Two starts at once must not both copy: the second one hands over and makes nothing.
TEST(SettingsAtStart, OnlyTheStartHoldingTheLockMakesThePrivateCopy) {
    const auto user = nobody();
    if (!user)
        GTEST_SKIP() << "needs root (as in CI) to run the program as the user 'nobody'";
    AppFolder app;
    ::chmod(QFile::encodeName(app.path()).constData(), 0755);
    UserFolders folders;
    user->own(folders.home.path());
    const QString copy = privateCopy(folders);
    QProcess first;
    startAs(&*user, first, app, folders.environment());
    ASSERT_TRUE(waitUntil([&] {
        return QFileInfo::exists(copy) &&
               !QDir(folders.home.path()).entryList({"*.socket"}, QDir::System).isEmpty();
    })) << first.readAllStandardError().toStdString();

    QFile::remove(copy);
    QProcess second;
    startAs(&*user, second, app, folders.environment());
    EXPECT_TRUE(runToEnd(second));
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    EXPECT_FALSE(QFileInfo::exists(copy)) << "the second start copied while the first ran";
    first.kill();
    runToEnd(first);
}

// Told in a message box, and on stderr, where a test can read it while the box waits.
TEST(SettingsAtStart, SaysWhichFileCannotBeUsedAndWhy) {
    const auto user = nobody();
    if (!user)
        GTEST_SKIP() << "needs root (as in CI) to run the program as the user 'nobody'";
    struct Case {
        const char* what;
        bool asUser;
        std::function<QString(const AppFolder&, QProcessEnvironment&, const QString& home)>
            arrange; // returns the file the message must name
        QStringList told;
    };
    const Case cases[] = {
        {"no private copy can be made",
         true,
         [](const AppFolder& app, QProcessEnvironment& environment, const QString& home) {
             ::chmod(QFile::encodeName(app.path()).constData(), 0755);
             const QString data = QDir(home).filePath("data"); // root's, closed to the user
             QDir().mkpath(data);
             environment.insert("XDG_DATA_HOME", data);
             return QDir(data).filePath("dormivo/info.velkaro");
         },
         {"cannot be made in", "(Permission denied)"}},
        {"the main window cannot load",
         false,
         [](const AppFolder& app, QProcessEnvironment&, const QString&) {
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
        const QString file = c.arrange(app, environment, folders.home.path());
        QProcess program;
        startAs(c.asUser ? &*user : nullptr, program, app, environment);
        const QStringList parts = QStringList(c.told) << file;
        const QString said = errorsUntil(program, parts);
        for (const QString& part : parts)
            EXPECT_TRUE(said.contains(part)) << c.what << ": " << said.toStdString();
        program.kill(); // the message box waits for its OK
        runToEnd(program);
    }
}

} // namespace

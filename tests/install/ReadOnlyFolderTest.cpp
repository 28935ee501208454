#include "Connection.h"
#include "RunningApp.h"
#include "SettingsStore.h"
#include "StoreError.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace dormivo;
using namespace dormivo::test;

namespace {

QByteArray digestOf(const QString& file) {
    QFile in(file);
    return in.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(in.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}

// An installed program: a root-owned application folder, run by an ordinary user whose
// settings must live in their own data folder.
TEST(ReadOnlyFolderTest, OrdinaryUserGetsAPrivateCopyThatKeepsWhatTheProgramSaves) {
    const passwd* user = ::getpwnam("nobody");
    if (::geteuid() != 0 || !user)
        GTEST_SKIP() << "needs root (as in CI) to run the program as the user 'nobody'";
    const uid_t uid = user->pw_uid;
    const gid_t gid = user->pw_gid;

    AppFolder app;
    ::chmod(QFile::encodeName(app.path()).constData(), 0755);
    // A start-up row: loading copies it into the settings, which needs a writable file. The
    // countdown it starts (99 hours) is far from running out when the program is killed.
    SettingsStore::openFile(app.settingsFile().toStdString())
        .connection()
        .execute("INSERT INTO tmpsetting (run, Status, period, Type, Action, active) "
                 "VALUES ('0', 'Started', 99, 1, 0, '0')");
    const QByteArray shipped = digestOf(app.settingsFile());

    UserFolders folders;
    ASSERT_EQ(::chown(QFile::encodeName(folders.home.path()).constData(), uid, gid), 0);
    QProcess program;
    program.setProcessEnvironment(folders.environment());
    program.setChildProcessModifier([uid, gid] {
        if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
            ::_exit(127);
    });
    program.start(app.program(), {});

    const QString copy = QDir(folders.home.path()).filePath(".local/share/dormivo/info.velkaro");
    // Loading copies the start-up row into the per-user copy's settings.
    const auto startedRowSaved = [&copy] {
        if (!QFileInfo::exists(copy))
            return false;
        try {
            const auto saved = SettingsStore::openFile(copy.toStdString()).loadSettings();
            return saved && saved->status.text() == "Started" && saved->period.text() == "99";
        } catch (const StoreError&) {
            return false; // not there yet, or being written
        }
    };
    EXPECT_TRUE(
        waitUntil([&] { return program.state() == QProcess::NotRunning || startedRowSaved(); }));
    EXPECT_EQ(program.state(), QProcess::Running)
        << program.exitCode() << " " << program.readAllStandardError().toStdString();
    program.kill();
    runToEnd(program);

    EXPECT_EQ(digestOf(app.settingsFile()), shipped) << "the shipped default stays as it was";
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(copy).constData(), &info), 0) << "no per-user copy";
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(info.st_uid, uid);
}

} // namespace

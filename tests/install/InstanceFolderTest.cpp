// Where the real program keeps its one-instance lock and socket when $XDG_RUNTIME_DIR cannot
// be used, and what another user can do about it: nothing.
#include "install/RealProgram.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace dormivo::test;

namespace {

// Another user prepared the shared temporary folder: Qt's and Dormivo's former fallback
// folders, open to everyone, with the lock of this settings file held, or made a link to a
// file the victim would create.
TEST(InstanceFolder, AnotherUsersFilesInASharedFolderNeitherBlockAStartNorAreWrittenThrough) {
    const auto other = nobody();
    if (!other)
        GTEST_SKIP() << "needs root (as in CI) to give folders to the user 'nobody'";
    for (const bool linkedLock : {false, true}) {
        QTemporaryDir shared;
        ::chmod(QFile::encodeName(shared.path()).constData(), 01777);
        const QDir tmp(shared.path());
        for (const QString& name :
             {QStringLiteral("runtime-%1").arg(::getpwuid(::getuid())->pw_name),
              QStringLiteral("dormivo-%1").arg(::getuid())}) {
            tmp.mkdir(name);
            ::chmod(QFile::encodeName(tmp.filePath(name)).constData(), 0777);
            other->own(tmp.filePath(name));
        }
        AppFolder app;
        const QByteArray id =
            QCryptographicHash::hash(app.settingsFile().toUtf8(), QCryptographicHash::Sha256)
                .toHex()
                .left(16);
        const QByteArray lock = QFile::encodeName(
            tmp.filePath(QStringLiteral("dormivo-%1/dormivo-%2.lock").arg(::getuid()).arg(id)));
        const QByteArray planted = QFile::encodeName(tmp.filePath("planted"));
        int held = -1;
        if (linkedLock) {
            ASSERT_EQ(::symlink(planted.constData(), lock.constData()), 0);
        } else {
            held = ::open(lock.constData(), O_RDWR | O_CREAT, 0666);
            ASSERT_EQ(::flock(held, LOCK_EX), 0);
            other->own(QFile::decodeName(lock));
        }

        UserFolders victim;
        QProcessEnvironment environment = victim.environment();
        environment.remove("XDG_RUNTIME_DIR");
        environment.insert("TMPDIR", shared.path());
        RealProgram program(app, environment);
        EXPECT_TRUE(program.runsUntil([&] { return listensIn(victim.file(".cache/dormivo")); }))
            << linkedLock << ": " << program.said().toStdString();
        EXPECT_FALSE(QFileInfo::exists(QFile::decodeName(planted))) << "created through a link";
        if (held >= 0)
            ::close(held);
    }
}

// Without any folder of its own, it starts all the same and says once that it runs alone.
TEST(InstanceFolder, WithoutAPrivateFolderItStartsAndSaysSoOnce) {
    UserFolders user;
    writeFile(user.file("file"), "");
    QProcessEnvironment environment = user.environment();
    environment.remove("XDG_RUNTIME_DIR");
    environment.insert("XDG_CACHE_HOME", user.file("file/cache"));
    AppFolder app;
    RealProgram program(app, environment);
    EXPECT_TRUE(program.says({"a later start opens"}));
    QTest::qWait(300); // long enough to say it twice
    EXPECT_EQ(program.state(), QProcess::Running);
    EXPECT_EQ(program.said().count("dormivo: starting without the check for a running Dormivo"), 1)
        << program.said().toStdString();
}

// A folder whose socket path is too long to listen on: a later start must not wait for an
// answer that cannot come, but run on its own.
TEST(InstanceFolder, WhenTheFirstCannotListenALaterStartRunsOnItsOwn) {
    UserFolders user;
    const QString runtime = user.file(QString(100, 'r'));
    QDir().mkpath(runtime);
    ::chmod(QFile::encodeName(runtime).constData(), 0700);
    QProcessEnvironment environment = user.environment();
    environment.insert("XDG_RUNTIME_DIR", runtime);
    AppFolder app;
    RealProgram first(app, environment);
    EXPECT_TRUE(first.says({"cannot wait for later starts"})) << first.said().toStdString();
    RealProgram later(app, environment);
    EXPECT_TRUE(later.says({"cannot wait for later starts"})) << later.said().toStdString();
}

} // namespace

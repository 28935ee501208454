// Where the real program keeps its one-instance lock and socket when $XDG_RUNTIME_DIR cannot
// be used, and what another user can do about it: nothing.
#include "install/RunningApp.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace dormivo::test;

namespace {

bool listensIn(const QString& folder) {
    return !QDir(folder).entryList({"*.socket"}, QDir::System).isEmpty();
}

QString errorsOf(QProcess& program) {
    return QString::fromLocal8Bit(program.readAllStandardError());
}

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
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(app.program(), {});
        const QString own = QDir(victim.home.path()).filePath(".cache/dormivo");
        EXPECT_TRUE(waitUntil([&] {
            return program.state() == QProcess::NotRunning || listensIn(own);
        })) << linkedLock;
        EXPECT_EQ(program.state(), QProcess::Running)
            << linkedLock << ": " << errorsOf(program).toStdString();
        EXPECT_FALSE(QFileInfo::exists(QFile::decodeName(planted))) << "created through a link";
        program.kill();
        runToEnd(program);
        if (held >= 0)
            ::close(held);
    }
}

// Without any folder of its own, it starts all the same and says once that it runs alone.
TEST(InstanceFolder, WithoutAPrivateFolderItStartsAndSaysSoOnce) {
    UserFolders user;
    QFile blocker(QDir(user.home.path()).filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    QProcessEnvironment environment = user.environment();
    environment.remove("XDG_RUNTIME_DIR");
    environment.insert("XDG_CACHE_HOME", blocker.fileName() + "/cache");
    AppFolder app;
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(app.program(), {});
    const QString said = errorsUntil(program, {"a later start opens"});
    waitUntil([] { return false; }, std::chrono::milliseconds(300));
    const QString all = said + errorsOf(program);
    EXPECT_EQ(program.state(), QProcess::Running) << all.toStdString();
    EXPECT_EQ(all.count("dormivo: starting without the check for a running Dormivo"), 1)
        << all.toStdString();
    program.kill();
    runToEnd(program);
}

// A folder whose socket path is too long to listen on: a later start must not wait for an
// answer that cannot come, but run on its own.
TEST(InstanceFolder, WhenTheFirstCannotListenALaterStartRunsOnItsOwn) {
    UserFolders user;
    const QString runtime = QDir(user.home.path()).filePath(QString(100, 'r'));
    QDir().mkpath(runtime);
    ::chmod(QFile::encodeName(runtime).constData(), 0700);
    QProcessEnvironment environment = user.environment();
    environment.insert("XDG_RUNTIME_DIR", runtime);
    AppFolder app;
    QProcess starts[2];
    for (QProcess& program : starts) {
        program.setProcessEnvironment(environment);
        program.start(app.program(), {});
        const QString said = errorsUntil(program, {"cannot wait for later starts"});
        EXPECT_EQ(program.state(), QProcess::Running) << said.toStdString();
    }
    for (QProcess& program : starts) {
        program.kill();
        runToEnd(program);
    }
}

} // namespace

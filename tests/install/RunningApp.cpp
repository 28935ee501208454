#include "install/RunningApp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace dormivo::test {

AppFolder::AppFolder() {
    const QDir built = QFileInfo(QStringLiteral(DORMIVO_BINARY)).dir();
    for (const char* name : {"dormivo", "dormivo-power", "info.velkaro"})
        QFile::copy(built.filePath(QString::fromLatin1(name)),
                    QDir(dir_.path()).filePath(QString::fromLatin1(name)));
}

QString AppFolder::program() const {
    return QDir(dir_.path()).filePath(QStringLiteral("dormivo"));
}

QString AppFolder::settingsFile() const {
    return QDir(dir_.path()).filePath(QStringLiteral("info.velkaro"));
}

QProcessEnvironment UserFolders::environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QDir dir(home.path());
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral(".config")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
    environment.remove(QStringLiteral("XDG_DATA_HOME"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}

void OtherUser::own(const QString& path) const {
    if (::chown(QFile::encodeName(path).constData(), uid, gid) != 0)
        qFatal("cannot give %s to uid %d", qPrintable(path), int(uid));
}

void OtherUser::runs(QProcess& process) const {
    process.setChildProcessModifier([uid = uid, gid = gid] {
        if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
            ::_exit(127);
    });
}

std::optional<OtherUser> nobody() {
    const passwd* user = ::getpwnam("nobody");
    if (::geteuid() != 0 || !user)
        return std::nullopt;
    return OtherUser{user->pw_uid, user->pw_gid};
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds bound) {
    QDeadlineTimer deadline(bound);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(20);
    }
    return true;
}

QString errorsUntil(QProcess& program, const QStringList& texts) {
    QString said;
    waitUntil([&] {
        said += QString::fromLocal8Bit(program.readAllStandardError());
        return program.state() == QProcess::NotRunning ||
               std::all_of(texts.begin(), texts.end(),
                           [&said](const QString& text) { return said.contains(text); });
    });
    return said + QString::fromLocal8Bit(program.readAllStandardError());
}

bool runToEnd(QProcess& process, std::chrono::milliseconds bound) {
    // finished is only emitted from the event loop, so the spy cannot miss it here.
    if (process.state() == QProcess::NotRunning)
        return true;
    QSignalSpy finished(&process, &QProcess::finished);
    if (finished.wait(static_cast<int>(bound.count())))
        return true;
    process.kill();
    process.waitForFinished();
    return false;
}

} // namespace dormivo::test

#include "install/RealProgram.h"

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
                    dir.filePath(QString::fromLatin1(name)));
}

QProcessEnvironment UserFolders::environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), file(QStringLiteral(".config")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
    environment.remove(QStringLiteral("XDG_DATA_HOME"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}

void OtherUser::own(const QString& path) const {
    if (::chown(QFile::encodeName(path).constData(), uid, gid) != 0)
        qFatal("cannot give %s to uid %d", qPrintable(path), int(uid));
}

std::optional<OtherUser> nobody() {
    const passwd* user = ::getpwnam("nobody");
    if (::geteuid() != 0 || !user)
        return std::nullopt;
    return OtherUser{user->pw_uid, user->pw_gid};
}

RealProgram::RealProgram(const AppFolder& app, const QProcessEnvironment& environment,
                         const OtherUser* user) {
    setProcessEnvironment(environment);
    if (user)
        setChildProcessModifier([uid = user->uid, gid = user->gid] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
                ::_exit(127);
        });
    start(app.program(), {});
}

RealProgram::~RealProgram() {
    kill();
    runToEnd(*this);
}

bool RealProgram::runsUntil(const std::function<bool()>& condition) {
    return QTest::qWaitFor([&] { return state() == NotRunning || condition(); }, 15000) &&
           state() == Running && condition();
}

bool RealProgram::says(const QStringList& texts) {
    return runsUntil([&] {
        return std::all_of(texts.begin(), texts.end(),
                           [this](const QString& text) { return said().contains(text); });
    });
}

QString RealProgram::said() {
    said_ += QString::fromLocal8Bit(readAllStandardError());
    return said_;
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

bool listensIn(const QString& folder) {
    return !QDir(folder).entryList({QStringLiteral("*.socket")}, QDir::System).isEmpty();
}

void writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace dormivo::test

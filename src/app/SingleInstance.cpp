#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dormivo {
namespace {

const QByteArray kShowRequest = "show\n";
const QByteArray kShownReply = "shown\n";
// Follows the request on a line of its own. Tokens are short printable words; anything else
// is no token.
const QByteArray kTokenField = "activation-token ";
constexpr qsizetype kTokenLimit = 512;

QByteArray activationTokenIn(const QByteArray& request) {
    for (const QByteArray& line : request.split('\n')) {
        if (!line.startsWith(kTokenField))
            continue;
        const QByteArray token = line.mid(kTokenField.size());
        const bool printable =
            std::all_of(token.begin(), token.end(), [](char c) { return c > ' ' && c < 0x7f; });
        return printable && token.size() <= kTokenLimit ? token : QByteArray();
    }
    return {};
}

// The user's own folder, not a link, and closed to everyone else: nothing in it can have been
// put there by another user.
bool isPrivateFolder(const QByteArray& path) {
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & 07777) == 0700;
}

QString privateFolder() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.startsWith('/') && isPrivateFolder(runtime))
        return QFile::decodeName(runtime);
    // In the user's home, so that every start of this user finds the same one whatever its
    // session; in a shared folder such as /tmp another user could have planted the lock.
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty())
        return {};
    QDir().mkpath(cache);
    const QString folder = QDir(cache).filePath(QStringLiteral("dormivo"));
    const QByteArray path = QFile::encodeName(folder);
    struct stat info {};
    if (::mkdir(path.constData(), 0700) != 0 && ::lstat(path.constData(), &info) == 0 &&
        S_ISDIR(info.st_mode) && info.st_uid == ::getuid())
        ::chmod(path.constData(), 0700); // ours, made with a wider mode some other way
    return isPrivateFolder(path) ? folder : QString();
}

} // namespace

SingleInstance::SingleInstance(const QString& settingsFile, QObject* parent) : QObject(parent) {
    const QString folder = privateFolder();
    if (folder.isEmpty()) {
        goOnAlone(QStringLiteral("no folder of your own for it: $XDG_RUNTIME_DIR and "
                                 "$XDG_CACHE_HOME/dormivo are missing, shared or open to others"));
        return;
    }
    const QByteArray id =
        QCryptographicHash::hash(QFileInfo(settingsFile).absoluteFilePath().toUtf8(),
                                 QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    base_ = QDir(folder).filePath(QStringLiteral("dormivo-") + QString::fromLatin1(id));
    // Close-on-exec: a program Dormivo launches must not keep the lock after Dormivo ends.
    // Never through a link, so that no file elsewhere is made or locked in its place.
    const QByteArray lockPath = QFile::encodeName(base_ + QStringLiteral(".lock"));
    lockFd_ = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lockFd_ >= 0 && ::flock(lockFd_, LOCK_EX | LOCK_NB) == 0)
        return;
    const int error = errno;
    if (lockFd_ >= 0)
        ::close(lockFd_);
    lockFd_ = -1;
    if (error == EWOULDBLOCK)
        first_ = false;
    else
        goOnAlone(QFile::decodeName(lockPath) + QStringLiteral(": ") + qt_error_string(error));
}

SingleInstance::~SingleInstance() {
    if (server_)
        server_->close();
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

void SingleInstance::goOnAlone(const QString& reason) {
    base_.clear();
    std::fprintf(stderr,
                 "dormivo: starting without the check for a running Dormivo (%s); a later start "
                 "opens a window of its own.\n",
                 qPrintable(reason));
}

QString SingleInstance::socketPath() const {
    return base_.isEmpty() ? QString() : base_ + QStringLiteral(".socket");
}

bool SingleInstance::listen(std::function<void(const QByteArray&)> showRequested) {
    if (lockFd_ < 0)
        return false; // going on alone, as was said
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // Holding the lock makes any socket file found here a leftover of a killed instance.
    QLocalServer::removeServer(socketPath());
    connect(server_, &QLocalServer::newConnection, this, [this, showRequested] {
        while (QLocalSocket* client = server_->nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            connect(client, &QLocalSocket::readyRead, this, [client, showRequested] {
                const QByteArray request = client->readAll();
                if (!request.contains(kShowRequest))
                    return;
                showRequested(activationTokenIn(request));
                client->write(kShownReply);
                client->flush();
            });
        }
    });
    if (server_->listen(socketPath()))
        return true;
    // Dormivo still works, but a later start cannot reach it: the lock goes, so that such a
    // start runs on its own and opens a second window instead of waiting here in vain.
    std::fprintf(stderr,
                 "dormivo: cannot wait for later starts at %s: %s; a later start opens a window "
                 "of its own.\n",
                 qPrintable(socketPath()), qPrintable(server_->errorString()));
    ::close(lockFd_);
    lockFd_ = -1;
    return false;
}

bool SingleInstance::handOver(int timeoutMs) const {
    // The first instance may hold the lock but still be starting up: try until it listens.
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    while (true) {
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(static_cast<int>(deadline.remainingTime())))
            break;
        if (deadline.hasExpired()) {
            std::fputs("dormivo: Dormivo is already running but does not answer.\n", stderr);
            return false;
        }
        QThread::msleep(20);
    }
    const QByteArray token = qgetenv("XDG_ACTIVATION_TOKEN");
    socket.write(kShowRequest + (token.isEmpty() ? QByteArray() : kTokenField + token + '\n'));
    if (!socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
        return false;
    QByteArray reply;
    while (!reply.contains(kShownReply) &&
           socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
        reply += socket.readAll();
    if (reply.contains(kShownReply))
        return true;
    std::fputs("dormivo: Dormivo is already running but does not answer.\n", stderr);
    return false;
}

} // namespace dormivo

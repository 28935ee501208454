#include "app/SingleInstance.h"

#include "app/InstanceMessages.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dormivo {
namespace {

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

// The lock and socket's path without their ending, named after the settings file; empty
// without a private folder.
QString instanceBase(const QString& settingsFile) {
    const QString folder = privateFolder();
    if (folder.isEmpty())
        return {};
    const QByteArray id =
        QCryptographicHash::hash(QFileInfo(settingsFile).absoluteFilePath().toUtf8(),
                                 QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    return QDir(folder).filePath(QStringLiteral("dormivo-") + QString::fromLatin1(id));
}

QString socketPathOf(const QString& base) {
    return base.isEmpty() ? QString() : base + QStringLiteral(".socket");
}

// The socket is private to its user already; the peer's own credentials make sure, also of
// root, who passes any file mode.
bool sameUser(const QLocalSocket* client) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(static_cast<int>(client->socketDescriptor()), SOL_SOCKET, SO_PEERCRED,
                        &peer, &size) == 0 &&
           peer.uid == ::getuid();
}

void drop(QLocalSocket* client, const char* why) {
    std::fprintf(stderr, "dormivo: dropped a request on the one-instance socket: %s.\n", why);
    client->abort();
}

// Sends the command and waits for the answer within the deadline; nothing without one.
std::optional<ArgumentsExit> converse(QLocalSocket& socket, ProgramCommand command,
                                      const QDeadlineTimer& deadline) {
    if (command.kind == ProgramCommand::Kind::Show)
        command.activationToken = qgetenv("XDG_ACTIVATION_TOKEN");
    socket.write(encodeRequest(command));
    if (!socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
        return std::nullopt;
    while (!socket.canReadLine() && socket.bytesAvailable() < kMaxAnswer)
        if (!socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            return std::nullopt;
    if (!socket.canReadLine())
        return std::nullopt;
    return decodeAnswer(socket.readLine(kMaxAnswer).chopped(1));
}

const ArgumentsExit kNoAnswer{
    1, {}, QStringLiteral("dormivo: Dormivo is already running but does not answer.\n")};

} // namespace

SingleInstance::SingleInstance(const QString& settingsFile, QObject* parent) : QObject(parent) {
    base_ = instanceBase(settingsFile);
    if (base_.isEmpty()) {
        goOnAlone(QStringLiteral("no folder of your own for it: $XDG_RUNTIME_DIR and "
                                 "$XDG_CACHE_HOME/dormivo are missing, shared or open to others"));
        return;
    }
    // Close-on-exec: a program Dormivo launches must not keep the lock after Dormivo ends.
    // Never through a link, so that no file elsewhere is made or locked in its place.
    const QByteArray lockPath = QFile::encodeName(base_ + QStringLiteral(".lock"));
    constexpr int kFlags = O_RDWR | O_CLOEXEC | O_NOFOLLOW;
    lockFd_ = ::open(lockPath.constData(), kFlags | O_CREAT | O_EXCL, 0600);
    madeLock_ = lockFd_ >= 0;
    if (!madeLock_ && errno == EEXIST)
        lockFd_ = ::open(lockPath.constData(), kFlags);
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

void SingleInstance::withdraw() {
    if (lockFd_ < 0)
        return;
    if (madeLock_)
        ::unlink(QFile::encodeName(base_ + QStringLiteral(".lock")).constData());
    ::close(lockFd_);
    lockFd_ = -1;
}

void SingleInstance::goOnAlone(const QString& reason) {
    base_.clear();
    std::fprintf(stderr,
                 "dormivo: starting without the check for a running Dormivo (%s); a later start "
                 "opens a window of its own.\n",
                 qPrintable(reason));
}

QString SingleInstance::socketPath() const {
    return socketPathOf(base_);
}

bool SingleInstance::listen(Handler handler) {
    if (lockFd_ < 0)
        return false; // going on alone, as was said
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // Holding the lock makes any socket file found here a leftover of a killed instance.
    QLocalServer::removeServer(socketPath());
    connect(server_, &QLocalServer::newConnection, this, [this, handler] {
        while (QLocalSocket* client = server_->nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            if (!sameUser(client)) {
                drop(client, "it comes from another user");
                continue;
            }
            connect(client, &QLocalSocket::readyRead, client,
                    [this, client, handler] { serve(client, handler); });
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

void SingleInstance::serve(QLocalSocket* client, const Handler& handler) {
    if (!client->canReadLine()) {
        if (client->bytesAvailable() >= kMaxRequest)
            drop(client, "it is too long");
        return;
    }
    const QByteArray line = client->readLine(kMaxRequest);
    // One request a connection: whatever follows it is not read.
    disconnect(client, &QLocalSocket::readyRead, nullptr, nullptr);
    const auto command = line.endsWith('\n') ? decodeRequest(line.chopped(1)) : std::nullopt;
    if (!command)
        return drop(client,
                    line.endsWith('\n') ? "it asks for nothing Dormivo knows" : "it is too long");
    handler(*command, [client = QPointer<QLocalSocket>(client)](const ArgumentsExit& answer) {
        if (!client)
            return; // the later start gave up waiting
        client->write(encodeAnswer(answer));
        client->flush();
    });
}

ArgumentsExit SingleInstance::handOver(const ProgramCommand& command, int timeoutMs) const {
    // The first instance may hold the lock but still be starting up: try until it listens.
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    while (true) {
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(static_cast<int>(deadline.remainingTime())))
            break;
        if (deadline.hasExpired())
            return kNoAnswer;
        QThread::msleep(20);
    }
    return converse(socket, command, deadline).value_or(kNoAnswer);
}

std::optional<ArgumentsExit> SingleInstance::askRunning(const QString& settingsFile,
                                                        const ProgramCommand& command) {
    const QString path = socketPathOf(instanceBase(settingsFile));
    if (path.isEmpty())
        return std::nullopt;
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(1000))
        return std::nullopt; // no socket, or one a killed Dormivo left
    return converse(socket, command, QDeadlineTimer(5000)).value_or(kNoAnswer);
}

} // namespace dormivo

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
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dormivo {
namespace {

// How long a caller waits for the answer, and a connection for its whole line.
constexpr int kAnswerMs = 5000;
constexpr int kLineMs = 2000;
// Connections served at once; beyond them the oldest that sent nothing goes.
constexpr std::size_t kMaxClients = 32;

// The user's own folder, not a link, and closed to everyone else: nothing in it can have been
// put there by another user.
bool isPrivateFolder(const QByteArray& path) {
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & 07777) == 0700;
}

// A relative path in an XDG variable counts as unset.
QString absoluteFromEnvironment(const char* name) {
    const QString value = qEnvironmentVariable(name);
    return value.startsWith(QLatin1Char('/')) ? value : QString();
}

// The folder of lock and socket; made, in the cache folder, only when make says so, so that a
// start that only asks leaves nothing behind.
QString privateFolder(bool make) {
    // The runtime folder of the session, or the one logind keeps for the user while any
    // session runs, which a start from cron, su or ssh finds too.
    for (const QString& runtime : {absoluteFromEnvironment("XDG_RUNTIME_DIR"),
                                   QStringLiteral("/run/user/%1").arg(::getuid())})
        if (!runtime.isEmpty() && isPrivateFolder(QFile::encodeName(runtime)))
            return runtime;
    // In the user's home, so that every start of this user finds the same one whatever its
    // session; in a shared folder such as /tmp another user could have planted the lock.
    QString cache = absoluteFromEnvironment("XDG_CACHE_HOME");
    if (cache.isEmpty())
        cache = QDir::homePath() + QStringLiteral("/.cache");
    const QString folder = QDir(cache).filePath(QStringLiteral("dormivo"));
    const QByteArray path = QFile::encodeName(folder);
    struct stat info {};
    if (make && QDir().mkpath(cache) && ::mkdir(path.constData(), 0700) != 0 &&
        ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid())
        ::chmod(path.constData(), 0700); // ours, made with a wider mode some other way
    return isPrivateFolder(path) ? folder : QString();
}

// The lock and socket's path without their ending, named after the settings file; empty
// without a private folder.
QString instanceBase(const QString& settingsFile, bool make) {
    const QString folder = privateFolder(make);
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

// What the kernel still holds for us on the connection: 1 bytes, 0 the peer hung up, -1
// nothing yet.
int waiting(const QLocalSocket* client) {
    char byte = 0;
    const ssize_t got =
        ::recv(static_cast<int>(client->socketDescriptor()), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return got > 0 ? 1 : got == 0 ? 0 : -1;
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

} // namespace

SingleInstance::SingleInstance(const QString& settingsFile, QObject* parent) : QObject(parent) {
    base_ = instanceBase(settingsFile, true);
    if (base_.isEmpty()) {
        goOnAlone(QStringLiteral("no folder of your own for it: $XDG_RUNTIME_DIR, "
                                 "/run/user/%1 and $XDG_CACHE_HOME/dormivo are missing, shared "
                                 "or open to others")
                      .arg(::getuid()));
        return;
    }
    const QByteArray lockPath = QFile::encodeName(base_ + QStringLiteral(".lock"));
    // A start that gives up removes the file it made; one that opened it just before holds a
    // file no one else finds, and opens the path again.
    int error = 0;
    for (int attempt = 0; attempt < 10 && lockFd_ < 0 && error == 0; ++attempt)
        error = takeLock(lockPath);
    if (lockFd_ >= 0)
        return;
    if (error == EWOULDBLOCK)
        first_ = false;
    else
        goOnAlone(QFile::decodeName(lockPath) + QStringLiteral(": ") +
                  qt_error_string(error ? error : ESTALE));
}

int SingleInstance::takeLock(const QByteArray& lockPath) {
    // Close-on-exec: a program Dormivo launches must not keep the lock after Dormivo ends.
    // Never through a link, so that no file elsewhere is made or locked in its place.
    constexpr int kFlags = O_RDWR | O_CLOEXEC | O_NOFOLLOW;
    int fd = ::open(lockPath.constData(), kFlags | O_CREAT | O_EXCL, 0600);
    madeLock_ = fd >= 0;
    if (!madeLock_ && errno == EEXIST)
        fd = ::open(lockPath.constData(), kFlags);
    // Gone between the two opens: a start that gave up removed it; the next attempt makes it.
    if (fd < 0)
        return !madeLock_ && errno == ENOENT ? 0 : errno;
    int error = 0;
    struct stat held {};
    struct stat there {};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        error = errno;
    else if (::fstat(fd, &held) == 0 && ::lstat(lockPath.constData(), &there) == 0 &&
             held.st_dev == there.st_dev && held.st_ino == there.st_ino)
        lockFd_ = fd;
    if (lockFd_ != fd)
        ::close(fd);
    return error;
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
    // Removed while still held: a start that waits for it then finds it gone and makes its own.
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
        while (QLocalSocket* client = server_->nextPendingConnection())
            accept(client, handler);
    });
    if (server_->listen(socketPath())) {
        // The server closes itself for good when accepting fails (out of descriptors, say).
        auto* watch = new QTimer(this);
        connect(watch, &QTimer::timeout, this, &SingleInstance::listenAgain);
        watch->start(1000);
        return true;
    }
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

void SingleInstance::listenAgain() {
    if (server_->isListening())
        return;
    QLocalServer::removeServer(socketPath());
    if (!server_->listen(socketPath()))
        std::fprintf(stderr, "dormivo: cannot wait for later starts at %s: %s; trying again.\n",
                     qPrintable(socketPath()), qPrintable(server_->errorString()));
}

void SingleInstance::accept(QLocalSocket* client, const Handler& handler) {
    connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
    if (!sameUser(client))
        return drop(client, "it comes from another user");
    // Connections that say nothing would use up the descriptors: beyond the bound the oldest
    // that has nothing waiting goes, and each has a while for its whole line.
    std::erase_if(unread_, [](const QPointer<QLocalSocket>& c) { return c.isNull(); });
    if (unread_.size() >= kMaxClients) {
        auto idle = std::find_if(unread_.begin(), unread_.end(),
                                 [](const QPointer<QLocalSocket>& c) { return waiting(c) < 0; });
        if (idle == unread_.end())
            idle = unread_.begin();
        (*idle)->abort();
        unread_.erase(idle);
    }
    unread_.emplace_back(client);
    QTimer::singleShot(kLineMs, client, [client] {
        if (client->property("served").isNull())
            client->abort();
    });
    connect(client, &QLocalSocket::readyRead, client,
            [this, client, handler] { serve(client, handler); });
}

void SingleInstance::serve(QLocalSocket* client, const Handler& handler) {
    if (!client->canReadLine()) {
        if (client->bytesAvailable() >= kMaxRequest)
            drop(client, "it is too long");
        return;
    }
    // The line with its newline, up to the bound.
    const QByteArray line = client->readLine(kMaxRequest + 1);
    // One request a connection: whatever follows it is not read.
    disconnect(client, &QLocalSocket::readyRead, nullptr, nullptr);
    client->setProperty("served", true);
    std::erase(unread_, QPointer<QLocalSocket>(client));
    const auto command = line.endsWith('\n') ? decodeRequest(line.chopped(1)) : std::nullopt;
    if (!command)
        return drop(client,
                    line.endsWith('\n') ? "it asks for nothing Dormivo knows" : "it is too long");
    const QPointer<QLocalSocket> caller(client);
    handler(*command, Answer(
                          [caller](const ArgumentsExit& answer) {
                              if (!caller)
                                  return; // the later start gave up waiting
                              caller->write(encodeAnswer(answer));
                              caller->flush();
                          },
                          [caller] {
                              return caller && caller->state() == QLocalSocket::ConnectedState &&
                                     waiting(caller) != 0;
                          }));
}

ArgumentsExit SingleInstance::noAnswer() {
    return {1, {}, QStringLiteral("dormivo: Dormivo is already running but does not answer.\n")};
}

std::optional<ArgumentsExit> SingleInstance::ask(const QString& settingsFile,
                                                 const ProgramCommand& command, int patienceMs) {
    const QString path = socketPathOf(instanceBase(settingsFile, false));
    if (path.isEmpty())
        return std::nullopt;
    const QDeadlineTimer connecting(std::max(patienceMs, 1000));
    QLocalSocket socket;
    while (true) {
        socket.connectToServer(path);
        if (socket.waitForConnected(static_cast<int>(connecting.remainingTime())))
            break;
        if (patienceMs == 0 || connecting.hasExpired())
            return std::nullopt; // no socket, or one a killed Dormivo left
        QThread::msleep(20);
    }
    const auto answer = converse(socket, command, QDeadlineTimer(kAnswerMs));
    // Gone before the caller is told: a Dormivo that goes on later drops the request.
    socket.abort();
    return answer.value_or(noAnswer());
}

} // namespace dormivo

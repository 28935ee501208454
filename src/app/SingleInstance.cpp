#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <cstdio>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace dormivo {
namespace {

const QByteArray kShowRequest = "show\n";
const QByteArray kShownReply = "shown\n";

QString runtimeFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::temp().filePath(QStringLiteral("dormivo-%1").arg(::getuid()));
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    return folder;
}

} // namespace

SingleInstance::SingleInstance(const QString& settingsFile, QObject* parent) : QObject(parent) {
    const QByteArray id =
        QCryptographicHash::hash(QFileInfo(settingsFile).absoluteFilePath().toUtf8(),
                                 QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    base_ = QDir(runtimeFolder()).filePath(QStringLiteral("dormivo-") + QString::fromLatin1(id));
    // Close-on-exec: a program Dormivo launches must not keep the lock after Dormivo ends.
    const QByteArray lockPath = QFile::encodeName(base_ + QStringLiteral(".lock"));
    lockFd_ = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd_ >= 0 && ::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        ::close(lockFd_);
        lockFd_ = -1;
    }
}

SingleInstance::~SingleInstance() {
    if (server_)
        server_->close();
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

bool SingleInstance::listen(std::function<void()> showRequested) {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // Holding the lock makes any socket file found here a leftover of a killed instance.
    QLocalServer::removeServer(socketPath());
    connect(server_, &QLocalServer::newConnection, this, [this, showRequested] {
        while (QLocalSocket* client = server_->nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            connect(client, &QLocalSocket::readyRead, this, [client, showRequested] {
                if (!client->readAll().contains(kShowRequest))
                    return;
                showRequested();
                client->write(kShownReply);
                client->flush();
            });
        }
    });
    if (server_->listen(socketPath()))
        return true;
    // Dormivo still works; only a later start cannot find it and opens a second window.
    std::fprintf(stderr, "dormivo: cannot wait for later starts at %s: %s\n",
                 qPrintable(socketPath()), qPrintable(server_->errorString()));
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
    socket.write(kShowRequest);
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

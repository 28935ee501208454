#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

namespace dormivo {

// One running Dormivo per user and settings file. The first start holds a lock for its whole
// life and listens on a local socket; a later start finds the lock taken and asks the first
// one, through that socket, to show its window. The kernel drops the lock with the process,
// so a killed first instance leaves nothing that blocks the next start.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // Needs an application object; settingsFile names the instance.
    explicit SingleInstance(const QString& settingsFile, QObject* parent = nullptr);
    ~SingleInstance() override;

    bool isFirst() const { return lockFd_ >= 0; }
    // First instance only: calls showRequested for every later start from now on.
    bool listen(std::function<void()> showRequested);
    // Later instances only: asks the first to show itself; true once it has answered.
    bool handOver(int timeoutMs = 5000) const;

    // Where the socket lives (per user: $XDG_RUNTIME_DIR, else a private temporary folder).
    QString socketPath() const { return base_ + QStringLiteral(".socket"); }

private:
    QString base_;
    int lockFd_ = -1;
    QLocalServer* server_ = nullptr;
};

} // namespace dormivo

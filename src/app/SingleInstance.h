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
//
// Lock and socket live only in a folder no other user can have prepared: $XDG_RUNTIME_DIR, or
// else $XDG_CACHE_HOME/dormivo (~/.cache/dormivo), each used only when it is the user's own
// folder, not a link, and closed to everyone else. Without such a folder every start runs on
// its own, which stderr says.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // Needs an application object; settingsFile names the instance.
    explicit SingleInstance(const QString& settingsFile, QObject* parent = nullptr);
    ~SingleInstance() override;

    // False when another start of this user holds the lock.
    bool isFirst() const { return first_; }
    // First instance only: calls showRequested for every later start from now on, with the
    // activation token that start was given (empty without one).
    bool listen(std::function<void(const QByteArray& activationToken)> showRequested);
    // Later instances only: asks the first to show itself, handing it this start's activation
    // token ($XDG_ACTIVATION_TOKEN), with which a Wayland desktop lets a window come to the
    // front; true once it has answered.
    bool handOver(int timeoutMs = 5000) const;

    // Where the socket lives; empty without a private folder.
    QString socketPath() const;

private:
    void goOnAlone(const QString& reason);

    QString base_;
    int lockFd_ = -1;
    bool first_ = true;
    QLocalServer* server_ = nullptr;
};

} // namespace dormivo

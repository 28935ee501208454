#pragma once

#include "app/ProgramCommand.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QLocalServer;
class QLocalSocket;

namespace dormivo {

// One running Dormivo per user and settings file. The first start holds a lock for its whole
// life and listens on a local socket; a later start finds the lock taken and hands its
// command (show the window, start, stop, the status) to the first one through that socket.
// The kernel drops the lock with the process, so a killed first instance leaves nothing that
// blocks the next start.
//
// Lock and socket live only in a folder no other user can have prepared: $XDG_RUNTIME_DIR, or
// else $XDG_CACHE_HOME/dormivo (~/.cache/dormivo), each used only when it is the user's own
// folder, not a link, and closed to everyone else. Without such a folder every start runs on
// its own, which stderr says. Only requests of the same user are served, one line each and
// bounded in size; any other is dropped, which stderr says.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // Carries the running Dormivo's answer back to the later start.
    using Answer = std::function<void(const ArgumentsExit& answer)>;
    using Handler = std::function<void(const ProgramCommand& command, Answer answer)>;

    // Takes the lock at once, before any application object exists; settingsFile names the
    // instance. Listening and handing over need an application object.
    explicit SingleInstance(const QString& settingsFile, QObject* parent = nullptr);
    ~SingleInstance() override;

    // False when another start of this user holds the lock.
    bool isFirst() const { return first_; }
    // First instance only: hands every later start's command to handler from now on.
    bool listen(Handler handler);
    // Later instances only: hands the command to the first, which may still be starting, and
    // returns its answer.
    ArgumentsExit handOver(const ProgramCommand& command, int timeoutMs = 5000) const;
    // The answer of the running Dormivo, asked without taking the lock; nothing when none
    // listens. Both hand a start without a command's activation token ($XDG_ACTIVATION_TOKEN)
    // over with it, with which a Wayland desktop lets the window come to the front.
    static std::optional<ArgumentsExit> askRunning(const QString& settingsFile,
                                                   const ProgramCommand& command);

    // First instance only, for a start that ends before it listens: lets the lock go, and
    // removes its file when this start made it, so that such a start leaves nothing behind.
    void withdraw();

    // Where the socket lives; empty without a private folder.
    QString socketPath() const;

private:
    void goOnAlone(const QString& reason);
    void serve(QLocalSocket* client, const Handler& handler);

    QString base_;
    int lockFd_ = -1;
    bool madeLock_ = false;
    bool first_ = true;
    QLocalServer* server_ = nullptr;
};

} // namespace dormivo

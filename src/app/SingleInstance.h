#pragma once

#include "app/ProgramCommand.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <deque>
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
// else /run/user/<uid> (where a start from cron, su or ssh finds the desktop's Dormivo), or
// else $XDG_CACHE_HOME/dormivo (~/.cache/dormivo), each used only when it is an absolute path
// to the user's own folder, not a link, and closed to everyone else. Without such a folder
// every start runs on its own, which stderr says. Only requests of the same user are served,
// one line each, bounded in size and in time, from a bounded number of connections at once;
// any other is dropped.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // Carries the running Dormivo's answer back to the later start, and tells whether that
    // start still waits for it.
    class Answer {
    public:
        Answer(std::function<void(const ArgumentsExit&)> send,
               std::function<bool()> callerWaits = {})
            : send_(std::move(send)), callerWaits_(std::move(callerWaits)) {}
        void operator()(const ArgumentsExit& answer) const { send_(answer); }
        // False once the caller gave up: it was told that Dormivo does not answer.
        bool callerWaits() const { return !callerWaits_ || callerWaits_(); }

    private:
        std::function<void(const ArgumentsExit&)> send_;
        std::function<bool()> callerWaits_;
    };
    using Handler = std::function<void(const ProgramCommand& command, Answer answer)>;

    // Takes the lock at once, before any application object exists; settingsFile names the
    // instance. Listening needs an application object.
    explicit SingleInstance(const QString& settingsFile, QObject* parent = nullptr);
    ~SingleInstance() override;

    // False when another start of this user holds the lock.
    bool isFirst() const { return first_; }
    // First instance only: hands every later start's command to handler from now on.
    bool listen(Handler handler);

    // The one way to the running Dormivo of settingsFile: sends the command and returns its
    // answer. A start without a command goes with this start's activation token
    // ($XDG_ACTIVATION_TOKEN), with which a Wayland desktop lets the window come to the front.
    // For patienceMs it tries again while none listens, as a first start may hold the lock and
    // still be starting. Nothing when none listened; makes no folder and no file.
    static std::optional<ArgumentsExit> ask(const QString& settingsFile,
                                            const ProgramCommand& command, int patienceMs = 0);
    // What a later start says when the Dormivo that holds the lock never answered.
    static ArgumentsExit noAnswer();

    // First instance only, for a start that ends before it listens: lets the lock go, and
    // removes its file when this start made it, so that such a start leaves nothing behind.
    void withdraw();

    // Where the socket lives; empty without a private folder.
    QString socketPath() const;

private:
    // Takes the lock at the path, or returns why not (0: the file went meanwhile).
    int takeLock(const QByteArray& lockPath);
    void goOnAlone(const QString& reason);
    void accept(QLocalSocket* client, const Handler& handler);
    void serve(QLocalSocket* client, const Handler& handler);
    void listenAgain();

    QString base_;
    int lockFd_ = -1;
    bool madeLock_ = false;
    bool first_ = true;
    QLocalServer* server_ = nullptr;
    // Connections that have not sent their line yet, oldest first.
    std::deque<QPointer<QLocalSocket>> unread_;
};

} // namespace dormivo

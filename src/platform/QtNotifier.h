#pragma once

#include "platform/Notifier.h"

#include <QIcon>
#include <QObject>

#include <cstdint>
#include <functional>

class QDBusConnection;

namespace dormivo {

// Messages through the desktop's notification server (org.freedesktop.Notifications on the
// session bus); without one, through the notification area's balloon. The server is asked
// without waiting, so that a slow or missing one never holds up the caller.
class QtNotifier final : public QObject, public Notifier {
    Q_OBJECT
public:
    using Balloon = std::function<void(const QString& text)>;
    // A warning is urgent and stays until it is withdrawn; a notice goes as the desktop's
    // other messages do.
    enum class Kind { Warning, Notice };
    QtNotifier(QString appName, QIcon icon, Balloon balloon, Kind kind = Kind::Warning,
               QObject* parent = nullptr);
    ~QtNotifier() override;

    void show(const QString& text, std::vector<NotifierChoice> choices) override;
    void withdraw() override;

private slots:
    void ActionInvoked(uint id, const QString& actionKey);
    void NotificationClosed(uint id, uint reason);

private:
    // Asking the bus to pass the server's signals on waits for the bus's answer, so it is
    // done with the first message rather than on the way to the first window.
    void listen(QDBusConnection& bus);
    void notify(const QString& text, std::uint64_t generation);
    void close(uint id);

    QString appName_;
    QIcon icon_;
    Balloon balloon_;
    Kind kind_;
    std::vector<NotifierChoice> choices_;
    bool listening_ = false;
    bool serverTakesChoices_ = false;
    std::uint64_t generation_ = 0; // counts show and withdraw, so late replies find their place
    uint shownId_ = 0; // the server's number for the shown message, 0 for none; replaced in place
};

} // namespace dormivo

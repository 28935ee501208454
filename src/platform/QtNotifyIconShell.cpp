#include "platform/QtNotifyIconShell.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>

namespace dormivo {
namespace {

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
// A panel that has not answered by then counts as hanging for now.
constexpr int kAnswerTimeoutMs = 2000;
constexpr int kAskAgainMs = 8000;

} // namespace

QString QtNotifyIconShell::shownTip(const NotifyIconData& data) {
    return data.tipText().left(NotifyIconData::kTipLength - 1);
}

std::vector<int> QtNotifyIconShell::mouseMessages(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Context:
        return {MouseMessage::RightDown, MouseMessage::RightUp};
    case QSystemTrayIcon::Trigger:
        return {MouseMessage::LeftDown, MouseMessage::LeftUp};
    case QSystemTrayIcon::DoubleClick:
        return {MouseMessage::LeftDoubleClick};
    case QSystemTrayIcon::MiddleClick:
        return {MouseMessage::MiddleDown, MouseMessage::MiddleUp};
    case QSystemTrayIcon::Unknown:
        break;
    }
    return {};
}

QtNotifyIconShell::QtNotifyIconShell(QIcon icon, QObject* parent)
    : QObject(parent), icon_(std::move(icon)) {
    askAgain_.setSingleShot(true);
    askAgain_.setInterval(kAskAgainMs);
    connect(&askAgain_, &QTimer::timeout, this, &QtNotifyIconShell::askWatcher);
    // Connecting to the bus and asking it waits for answers: that is done once the event loop
    // runs, after the first window shows. Icons are held until then, as they are while the
    // watcher is asked.
    QTimer::singleShot(0, this, &QtNotifyIconShell::lookForWatcher);
}

void QtNotifyIconShell::lookForWatcher() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        letQtAsk();
        return;
    }
    // Later questions only matter while Qt may not ask, or while it serves icons through a
    // host, which may come and go.
    auto* owners =
        new QDBusServiceWatcher(kWatcher, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(owners, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] {
        if (!qtMayAsk_ || viaHost_)
            askWatcher();
    });
    // The bus itself answers this one: with nobody owning the name, neither question waits.
    if (bus.interface()->isServiceRegistered(kWatcher))
        askWatcher();
    else
        letQtAsk();
}

QtNotifyIconShell::~QtNotifyIconShell() = default;

void QtNotifyIconShell::askWatcher() {
    askAgain_.stop();
    QDBusMessage get = QDBusMessage::createMethodCall(
        kWatcher, QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kWatcher << QStringLiteral("IsStatusNotifierHostRegistered");
    const std::uint64_t question = ++questions_;
    auto* call = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(get, kAnswerTimeoutMs), this);
    connect(call, &QDBusPendingCallWatcher::finished, this,
            [this, question](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                if (question != questions_)
                    return;
                const QDBusPendingReply<QDBusVariant> reply = *finished;
                const QDBusError::ErrorType error = reply.error().type();
                if (error == QDBusError::NoReply || error == QDBusError::Timeout ||
                    error == QDBusError::TimedOut) {
                    if (!qtMayAsk_)
                        askAgain_.start();
                    return;
                }
                // Any other answer, an error included, shows that Qt's question will not wait.
                hostRegistered_ = reply.isValid() && reply.value().variant().toBool();
                if (!qtMayAsk_)
                    letQtAsk();
            });
}

void QtNotifyIconShell::letQtAsk() {
    qtMayAsk_ = true;
    viaHost_ = hostRegistered_;
    for (auto& [key, entry] : entries_)
        show(key, entry);
}

bool QtNotifyIconShell::hostShowsMenus() const {
    // Without an XEmbed notification area to fall back on, any icon is a host's.
    return viaHost_ || QGuiApplication::platformName() == QStringLiteral("wayland");
}

void QtNotifyIconShell::show(const Key& key, Entry& entry) {
    entry.icon = std::make_unique<QSystemTrayIcon>(icon_);
    entry.icon->setToolTip(entry.tip);
    NotifyIconReceiver* receiver = key.first;
    connect(entry.icon.get(), &QSystemTrayIcon::activated, this,
            [receiver](QSystemTrayIcon::ActivationReason reason) {
                for (int message : mouseMessages(reason))
                    receiver->notifyIconMessage(message);
            });
    entry.icon->show();
    if (hostShowsMenus() && entry.menu)
        entry.icon->setContextMenu(entry.menu);
}

void QtNotifyIconShell::offerMenu(const NotifyIconData& data, QMenu* menu) {
    const auto found = entries_.find({data.hWnd, data.uID});
    if (found == entries_.end())
        return;
    found->second.menu = menu;
    // An XEmbed icon pops a menu it was handed up on its own and reports the right button
    // too, which pops the component's menu; there the component's menu is the only one.
    if (hostShowsMenus() && found->second.icon)
        found->second.icon->setContextMenu(menu);
}

void QtNotifyIconShell::showBalloon(const QString& title, const QString& text) {
    for (const auto& [key, entry] : entries_) {
        if (entry.icon) {
            entry.icon->showMessage(title, text, icon_);
            return;
        }
    }
}

bool QtNotifyIconShell::isAvailable() const {
    if (!qtMayAsk_)
        return false;
    // Qt would ask the host's watcher again, and wait for it.
    if (viaHost_)
        return hostRegistered_;
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtNotifyIconShell::notify(NotifyMessage message, const NotifyIconData& data) {
    const Key key{data.hWnd, data.uID};
    const auto found = entries_.find(key);
    switch (message) {
    case NotifyMessage::Add: {
        if (found != entries_.end() || data.hWnd == nullptr)
            return; // the notification area refuses a second icon with the same identity
        Entry& entry = entries_[key];
        entry.tip = shownTip(data);
        if (qtMayAsk_)
            show(key, entry);
        return;
    }
    case NotifyMessage::Modify:
        if (found == entries_.end())
            return;
        if (data.uFlags & NotifyIconData::NIF_TIP) {
            found->second.tip = shownTip(data);
            if (found->second.icon)
                found->second.icon->setToolTip(found->second.tip);
        }
        if ((data.uFlags & NotifyIconData::NIF_ICON) && found->second.icon)
            found->second.icon->setIcon(icon_);
        return;
    case NotifyMessage::Delete:
        if (found != entries_.end())
            entries_.erase(found);
        return;
    }
}

} // namespace dormivo

#include "QtNotifyIconShell.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusVariant>
#include <QGuiApplication>

namespace dormivo {

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

QtNotifyIconShell::QtNotifyIconShell(QIcon icon, bool hostShowsMenus, QObject* parent)
    : QObject(parent), icon_(std::move(icon)), hostShowsMenus_(hostShowsMenus) {}

bool QtNotifyIconShell::statusNotifierHostPresent() {
    if (QGuiApplication::platformName() == QStringLiteral("wayland"))
        return true; // there is no XEmbed notification area to fall back on
    const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(watcher))
        return false;
    QDBusInterface properties(watcher, QStringLiteral("/StatusNotifierWatcher"),
                              QStringLiteral("org.freedesktop.DBus.Properties"), bus);
    const QDBusReply<QDBusVariant> registered = properties.call(
        QStringLiteral("Get"), watcher, QStringLiteral("IsStatusNotifierHostRegistered"));
    return registered.isValid() && registered.value().variant().toBool();
}

void QtNotifyIconShell::offerMenu(const NotifyIconData& data, QMenu* menu) {
    // An XEmbed icon pops a menu it was handed up on its own and reports the right button
    // too, which pops the component's menu; there the component's menu is the only one.
    if (!hostShowsMenus_)
        return;
    if (const auto found = icons_.find({data.hWnd, data.uID}); found != icons_.end())
        found->second->setContextMenu(menu);
}

void QtNotifyIconShell::showBalloon(const QString& title, const QString& text) {
    if (!icons_.empty())
        icons_.begin()->second->showMessage(title, text, icon_);
}

QtNotifyIconShell::~QtNotifyIconShell() = default;

bool QtNotifyIconShell::isAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtNotifyIconShell::notify(NotifyMessage message, const NotifyIconData& data) {
    const Key key{data.hWnd, data.uID};
    const auto found = icons_.find(key);
    switch (message) {
    case NotifyMessage::Add: {
        if (found != icons_.end() || data.hWnd == nullptr)
            return; // the notification area refuses a second icon with the same identity
        auto icon = std::make_unique<QSystemTrayIcon>(icon_);
        icon->setToolTip(shownTip(data));
        NotifyIconReceiver* receiver = data.hWnd;
        connect(icon.get(), &QSystemTrayIcon::activated, this,
                [receiver](QSystemTrayIcon::ActivationReason reason) {
                    for (int message : mouseMessages(reason))
                        receiver->notifyIconMessage(message);
                });
        icon->show();
        icons_.emplace(key, std::move(icon));
        return;
    }
    case NotifyMessage::Modify:
        if (found == icons_.end())
            return;
        if (data.uFlags & NotifyIconData::NIF_TIP)
            found->second->setToolTip(shownTip(data));
        if (data.uFlags & NotifyIconData::NIF_ICON)
            found->second->setIcon(icon_);
        return;
    case NotifyMessage::Delete:
        if (found != icons_.end())
            icons_.erase(found);
        return;
    }
}

} // namespace dormivo

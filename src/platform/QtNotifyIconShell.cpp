#include "QtNotifyIconShell.h"

#include <QSystemTrayIcon>

namespace dormivo {
namespace {

// A notification area shows one character less than the tip field holds.
QString shownTip(const NotifyIconData& data) {
    return data.tipText().left(NotifyIconData::kTipLength - 1);
}

void deliver(NotifyIconReceiver* receiver, QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Context:
        receiver->notifyIconMessage(MouseMessage::RightDown);
        receiver->notifyIconMessage(MouseMessage::RightUp);
        break;
    case QSystemTrayIcon::Trigger:
        receiver->notifyIconMessage(MouseMessage::LeftDown);
        receiver->notifyIconMessage(MouseMessage::LeftUp);
        break;
    case QSystemTrayIcon::DoubleClick:
        receiver->notifyIconMessage(MouseMessage::LeftDoubleClick);
        break;
    case QSystemTrayIcon::MiddleClick:
        receiver->notifyIconMessage(MouseMessage::MiddleDown);
        receiver->notifyIconMessage(MouseMessage::MiddleUp);
        break;
    case QSystemTrayIcon::Unknown:
        break;
    }
}

} // namespace

QtNotifyIconShell::QtNotifyIconShell(QIcon icon, QObject* parent)
    : QObject(parent), icon_(std::move(icon)) {}

QtNotifyIconShell::~QtNotifyIconShell() = default;

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
        connect(
            icon.get(), &QSystemTrayIcon::activated, this,
            [receiver](QSystemTrayIcon::ActivationReason reason) { deliver(receiver, reason); });
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

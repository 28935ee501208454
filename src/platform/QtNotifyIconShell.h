#pragma once

#include "NotifyIconShell.h"

#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>

#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace dormivo {

// The notification area through QSystemTrayIcon: an added icon is shown, modifications
// change its tip or picture, deletion hides it. Clicks on it come back to the icon's owner
// as the mouse messages a notification area reports.
class QtNotifyIconShell final : public QObject, public NotifyIconShell {
    Q_OBJECT
public:
    // hostShowsMenus: the notification area shows an icon's menu itself (see
    // statusNotifierHostPresent).
    QtNotifyIconShell(QIcon icon, bool hostShowsMenus, QObject* parent = nullptr);
    ~QtNotifyIconShell() override;

    void notify(NotifyMessage message, const NotifyIconData& data) override;
    bool isAvailable() const override;
    void offerMenu(const NotifyIconData& data, QMenu* menu) override;
    // A balloon over the first icon, for messages when the desktop has no notification server.
    void showBalloon(const QString& title, const QString& text);

    // Whether Qt serves icons through a StatusNotifierItem host on the session bus rather than
    // an XEmbed notification area: it asks the same question when it makes an icon. Such a
    // host shows the menu it was handed and may have no pointer position to pop one up at.
    static bool statusNotifierHostPresent();

    // The tip a notification area shows for a record: one character less than its field.
    static QString shownTip(const NotifyIconData& data);
    // The mouse messages an activation of the icon stands for, in order.
    static std::vector<int> mouseMessages(QSystemTrayIcon::ActivationReason reason);

private:
    using Key = std::pair<NotifyIconReceiver*, std::uint32_t>;
    QIcon icon_;
    bool hostShowsMenus_;
    std::map<Key, std::unique_ptr<QSystemTrayIcon>> icons_;
};

} // namespace dormivo

#pragma once

#include "platform/NotifyIconShell.h"

#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace dormivo {

// The notification area through QSystemTrayIcon: an added icon is shown, modifications
// change its tip or picture, deletion hides it. Clicks on it come back to the icon's owner
// as the mouse messages a notification area reports.
//
// The first time an icon is made, or the area's presence is asked for, Qt asks the session
// bus's StatusNotifierWatcher whether a host is there, and waits up to D-Bus's default
// timeout, twice over. A panel that owns that name but hangs (frozen, or still starting at
// login) would hold the program up. So the watcher is asked first, without waiting, and
// icons are held until it has answered or its name is found unowned; until then there is no
// notification area. A watcher that does not answer soon is asked again later, and at once
// when its name changes hands.
class QtNotifyIconShell final : public QObject, public NotifyIconShell {
    Q_OBJECT
public:
    explicit QtNotifyIconShell(QIcon icon, QObject* parent = nullptr);
    ~QtNotifyIconShell() override;

    void notify(NotifyMessage message, const NotifyIconData& data) override;
    bool isAvailable() const override;
    void offerMenu(const NotifyIconData& data, QMenu* menu) override;
    // A balloon over the first icon, for messages when the desktop has no notification server.
    void showBalloon(const QString& title, const QString& text);

    // The tip a notification area shows for a record: one character less than its field.
    static QString shownTip(const NotifyIconData& data);
    // The mouse messages an activation of the icon stands for, in order.
    static std::vector<int> mouseMessages(QSystemTrayIcon::ActivationReason reason);

private:
    using Key = std::pair<NotifyIconReceiver*, std::uint32_t>;
    struct Entry {
        QString tip;
        QMenu* menu = nullptr;
        std::unique_ptr<QSystemTrayIcon> icon; // none while Qt may not ask the bus yet
    };
    void lookForWatcher();
    void askWatcher();
    void letQtAsk();
    void show(const Key& key, Entry& entry);
    // A host shows the menu it was handed, and may have no pointer position to pop one up at.
    bool hostShowsMenus() const;

    QIcon icon_;
    std::map<Key, Entry> entries_;
    bool qtMayAsk_ = false;
    // Qt serves icons through a StatusNotifierItem host rather than an XEmbed notification
    // area. Settled once Qt is asked, as Qt settles it then for good.
    bool viaHost_ = false;
    bool hostRegistered_ = false; // the watcher's last answer
    std::uint64_t questions_ = 0; // only the answer to the last question counts
    QTimer askAgain_;
};

} // namespace dormivo

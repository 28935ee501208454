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
    explicit QtNotifyIconShell(QIcon icon, QObject* parent = nullptr);
    ~QtNotifyIconShell() override;

    void notify(NotifyMessage message, const NotifyIconData& data) override;
    bool isAvailable() const override;

    // The tip a notification area shows for a record: one character less than its field.
    static QString shownTip(const NotifyIconData& data);
    // The mouse messages an activation of the icon stands for, in order.
    static std::vector<int> mouseMessages(QSystemTrayIcon::ActivationReason reason);

private:
    using Key = std::pair<NotifyIconReceiver*, std::uint32_t>;
    QIcon icon_;
    std::map<Key, std::unique_ptr<QSystemTrayIcon>> icons_;
};

} // namespace dormivo

#pragma once

#include "NotifyIconShell.h"

#include <QObject>
#include <QString>

namespace dormivo {

// Set by the main window once its icon is in the notification area, so that every further
// tray component serves only as a menu.
inline bool trayIconShown = false;

// The first tip of the icon: the program's one-line description.
inline const QString kFileDescription = QStringLiteral("Dormivo countdown timer");

// The tray component: one icon in the notification area with its tip, reporting what the
// mouse does over it.
class frmSysTray final : public QObject, public NotifyIconReceiver {
    Q_OBJECT
public:
    explicit frmSysTray(NotifyIconShell& shell, QObject* parent = nullptr);
    ~frmSysTray() override; // takes the icon out of the notification area

    QString ToolTip();
    void setToolTip(const QString& sTip);
    std::int32_t IconHandle();
    void setIconHandle(std::int32_t hIcon);

    const NotifyIconData& record() const { return nid_; }
    void notifyIconMessage(int mouseMessage) override;

signals:
    void SysTrayMouseDown(int eButton);
    void SysTrayMouseUp(int eButton);
    void SysTrayMouseMove();
    void SysTrayDoubleClick(int eButton);

private:
    void Form_Load();
    void ensureLoaded();
    static QString tipField(const QString& tip);

    NotifyIconShell& shell_;
    NotifyIconData nid_;
    bool loaded_ = false;
};

} // namespace dormivo

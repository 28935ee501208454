#pragma once

#include "platform/NotifyIconShell.h"

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class QMenu;

namespace dormivo {

// The tray component: one icon in the notification area with its tip, reporting what the
// mouse does over it, and a popup menu whose items are added at run time. Only the first
// instance made while trayIconShown is false adds an icon; the others serve as menus.
class frmSysTray final : public QObject, public NotifyIconReceiver {
    Q_OBJECT
public:
    explicit frmSysTray(NotifyIconShell& shell, QObject* parent = nullptr);
    ~frmSysTray() override; // takes the icon out of the notification area

    QString ToolTip();
    void setToolTip(const QString& sTip);
    std::int32_t IconHandle();
    void setIconHandle(std::int32_t hIcon);

    std::int32_t AddMenuItem(const QString& sCaption, const QString& sKey = QString(),
                             bool bDefault = false);
    void EnableMenuItem(std::int32_t lIndex, bool bState);
    std::int32_t RemoveMenuItem(std::int32_t iIndex);
    std::int32_t DefaultMenuIndex() const { return defaultIndex_; }
    void setDefaultMenuIndex(std::int32_t lIndex);
    // Raises the owner's window and pops the menu up at the mouse pointer; returns when the
    // menu has closed, after MenuClick for the item chosen, if any.
    void ShowMenu(QWidget* owner);
    // Lets a notification area that shows the icon's menu itself show this one; the menu is
    // built as it stands now.
    void offerMenuToHost();
    // An item was chosen: raises MenuClick with its index and key; separators raise nothing.
    void mnuSysTray_Click(std::int32_t index);

    struct MenuItem {
        QString caption;
        QString key;
        bool visible = false;
        bool enabled = true;
    };
    const std::vector<MenuItem>& mnuSysTray() const { return items_; }
    void notifyIconMessage(int mouseMessage) override;

signals:
    void SysTrayMouseDown(int eButton);
    void SysTrayMouseUp(int eButton);
    void SysTrayMouseMove();
    void SysTrayDoubleClick(int eButton);
    void MenuClick(std::int32_t lIndex, const QString& sKey);

private:
    void Form_Load();
    // The popup as it would be shown now.
    std::unique_ptr<QMenu> buildMenu();
    void ensureLoaded();
    static QString tipField(const QString& tip);
    bool IsValidMenuIndex(std::int32_t lIndex) const {
        return lIndex >= 0 && lIndex < static_cast<std::int32_t>(items_.size());
    }

    NotifyIconShell& shell_;
    NotifyIconData nid_;
    bool loaded_ = false;
    bool menuInUse_ = false;
    std::int32_t defaultIndex_ = 0;
    std::vector<MenuItem> items_{MenuItem{}}; // item 0 is there from the start, unused
    std::unique_ptr<QMenu> hostMenu_;
};

} // namespace dormivo

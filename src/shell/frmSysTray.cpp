#include "shell/frmSysTray.h"

#include "common/Flags.h"
#include "common/Words.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QWidget>

namespace dormivo {

frmSysTray::frmSysTray(NotifyIconShell& shell, QObject* parent) : QObject(parent), shell_(shell) {
    setObjectName(QStringLiteral("frmSysTray"));
}

frmSysTray::~frmSysTray() {
    // An instance that never added an icon sends the same request; nothing is found for it.
    shell_.notify(NotifyMessage::Delete, nid_);
}

void frmSysTray::ensureLoaded() {
    if (!loaded_) {
        loaded_ = true;
        Form_Load();
    }
}

void frmSysTray::Form_Load() {
    if (trayIconShown)
        return;
    nid_.cbSize = 88;
    nid_.hWnd = this;
    nid_.uID = static_cast<std::uint32_t>(kApplicationIconHandle);
    nid_.hIcon = kApplicationIconHandle;
    nid_.uFlags = NotifyIconData::NIF_MESSAGE | NotifyIconData::NIF_ICON | NotifyIconData::NIF_TIP;
    nid_.uCallbackMessage = MouseMessage::Move;
    nid_.szTip = tipField(kFileDescription);
    shell_.notify(NotifyMessage::Add, nid_);
}

QString frmSysTray::tipField(const QString& tip) {
    QString field = tip + QChar(u'\0');
    if (field.size() < NotifyIconData::kTipLength)
        field += QString(NotifyIconData::kTipLength - field.size(), QChar(' '));
    return field.left(NotifyIconData::kTipLength);
}

QString frmSysTray::ToolTip() {
    ensureLoaded();
    return nid_.tipText();
}

void frmSysTray::setToolTip(const QString& sTip) {
    ensureLoaded();
    if (sTip + QChar(u'\0') == nid_.szTip)
        return;
    nid_.szTip = tipField(sTip);
    nid_.uFlags = NotifyIconData::NIF_TIP;
    shell_.notify(NotifyMessage::Modify, nid_);
}

std::int32_t frmSysTray::IconHandle() {
    ensureLoaded();
    return nid_.hIcon;
}

void frmSysTray::setIconHandle(std::int32_t hIcon) {
    ensureLoaded();
    if (hIcon == nid_.hIcon)
        return;
    nid_.hIcon = hIcon;
    nid_.uFlags = NotifyIconData::NIF_ICON;
    shell_.notify(NotifyMessage::Modify, nid_);
}

void frmSysTray::notifyIconMessage(int mouseMessage) {
    switch (mouseMessage) {
    case MouseMessage::Move:
        emit SysTrayMouseMove();
        break;
    case MouseMessage::LeftDown:
        emit SysTrayMouseDown(1);
        break;
    case MouseMessage::LeftUp:
        emit SysTrayMouseUp(1);
        break;
    case MouseMessage::LeftDoubleClick:
        emit SysTrayDoubleClick(1);
        break;
    case MouseMessage::RightDown:
        emit SysTrayMouseDown(2);
        break;
    case MouseMessage::RightUp:
        emit SysTrayMouseUp(2);
        break;
    case MouseMessage::RightDoubleClick:
        emit SysTrayDoubleClick(2);
        break;
    default:
        break;
    }
}

std::int32_t frmSysTray::AddMenuItem(const QString& sCaption, const QString& sKey, bool bDefault) {
    ensureLoaded();
    std::int32_t index = 0;
    if (menuInUse_) {
        index = static_cast<std::int32_t>(items_.size());
        items_.emplace_back();
    } else {
        menuInUse_ = true;
    }
    items_[index] = MenuItem{sCaption, sKey, true, true};
    if (bDefault)
        defaultIndex_ = index;
    return index;
}

void frmSysTray::EnableMenuItem(std::int32_t lIndex, bool bState) {
    if (IsValidMenuIndex(lIndex))
        items_[lIndex].enabled = bState;
}

std::int32_t frmSysTray::RemoveMenuItem(std::int32_t iIndex) {
    if (!IsValidMenuIndex(iIndex))
        return 0;
    if (iIndex == 0) {
        items_[0].caption.clear(); // the first item stays, and keeps its key
        return 0;
    }
    for (std::size_t i = iIndex + 1; i < items_.size(); ++i) {
        items_[i - 1].caption = items_[i].caption;
        items_[i - 1].key = items_[i].key;
    }
    items_.pop_back();
    return 0;
}

void frmSysTray::setDefaultMenuIndex(std::int32_t lIndex) {
    defaultIndex_ = IsValidMenuIndex(lIndex) ? lIndex : 0;
}

std::unique_ptr<QMenu> frmSysTray::buildMenu() {
    auto menu = std::make_unique<QMenu>();
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const MenuItem& item = items_[i];
        if (!item.visible)
            continue;
        if (item.caption == QStringLiteral("-")) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(item.caption);
        action->setEnabled(item.enabled);
        if (static_cast<std::int32_t>(i) == defaultIndex_) {
            QFont bold = action->font();
            bold.setBold(true);
            action->setFont(bold);
            menu->setDefaultAction(action);
        }
        const auto index = static_cast<std::int32_t>(i);
        connect(action, &QAction::triggered, this, [this, index] { mnuSysTray_Click(index); });
    }
    return menu;
}

void frmSysTray::ShowMenu(QWidget* owner) {
    // Bring the program to the front first, so that the menu closes on a click elsewhere.
    if (owner && owner->isVisible()) {
        owner->raise();
        owner->activateWindow();
    }
    const auto menu = buildMenu();
    menu->exec(QCursor::pos());
}

void frmSysTray::offerMenuToHost() {
    ensureLoaded();
    hostMenu_ = buildMenu();
    shell_.offerMenu(nid_, hostMenu_.get());
}

void frmSysTray::mnuSysTray_Click(std::int32_t index) {
    if (IsValidMenuIndex(index) && items_[index].caption != QStringLiteral("-"))
        emit MenuClick(index, items_[index].key);
}

} // namespace dormivo

#include "frmSysTray.h"

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

} // namespace dormivo

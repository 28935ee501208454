#pragma once

#include <QString>

#include <cstdint>

class QMenu;

namespace dormivo {

// Mouse messages the notification area reports for an icon.
namespace MouseMessage {
inline constexpr int Move = 0x200;
inline constexpr int LeftDown = 0x201;
inline constexpr int LeftUp = 0x202;
inline constexpr int LeftDoubleClick = 0x203;
inline constexpr int RightDown = 0x204;
inline constexpr int RightUp = 0x205;
inline constexpr int RightDoubleClick = 0x206;
inline constexpr int MiddleDown = 0x207;
inline constexpr int MiddleUp = 0x208;
} // namespace MouseMessage

// Receives the notification area's mouse messages for the icons it added.
class NotifyIconReceiver {
public:
    virtual void notifyIconMessage(int mouseMessage) = 0;

protected:
    ~NotifyIconReceiver() = default;
};

// The icon record handed to the notification area with every request.
struct NotifyIconData {
    static constexpr int kTipLength = 64; // the tip field, its terminator included
    static constexpr std::uint32_t NIF_MESSAGE = 1;
    static constexpr std::uint32_t NIF_ICON = 2;
    static constexpr std::uint32_t NIF_TIP = 4;

    std::uint32_t cbSize = 88;
    NotifyIconReceiver* hWnd = nullptr;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    std::int32_t hIcon = 0;
    QString szTip = QString(kTipLength, QChar(' ')); // exactly kTipLength characters

    // The tip as shown: the field up to its terminator, all of it when it has none.
    QString tipText() const {
        const auto end = szTip.indexOf(QChar(u'\0'));
        return end < 0 ? szTip : szTip.left(end);
    }
};

enum class NotifyMessage { Add = 0, Modify = 1, Delete = 2 };

// The notification area (system tray) as a service that takes add, modify and delete
// requests for icons, each with the full icon record.
class NotifyIconShell {
public:
    virtual ~NotifyIconShell() = default;
    virtual void notify(NotifyMessage message, const NotifyIconData& data) = 0;
    // Whether a notification area is there to show icons now.
    virtual bool isAvailable() const = 0;
    // Hands an added icon's menu to a notification area that shows menus itself (a
    // StatusNotifierItem host, where there may be no pointer position and no parent window to
    // pop a menu up at); one that reports the right button instead ignores it.
    virtual void offerMenu(const NotifyIconData& data, QMenu* menu) = 0;
};

} // namespace dormivo

#pragma once

#include "platform/Platform.h"
#include "shell/WindowTable.h"
#include "shell/frmSysTray.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class QWidget;

namespace dormivo {

// The main window's large buttons, by the index that Image2_Click(Index) takes.
enum Image2Button : int { kStartButton = 0, kStopButton = 1, kExitButton = 2 };

// What the main window's menus, its notification-area icon and its keys can ask of it.
struct MainWindowCommands {
    std::function<void(int Index)> Image2_Click; // an Image2Button
    std::function<void()> showMain;
    std::function<void()> hideToNotificationArea;
    std::function<void()> unload;
    std::function<void()> endProgram;                 // at once, no window unloaded
    std::function<void(Modality)> openStartupOptions; // frmPrgSet
    std::function<void(Modality)> openProgramsList;   // frmSetting
    std::function<void(Modality)> openHelp;           // frmMenu
    std::function<void(Modality)> openAbout;          // frmAbout
};

// The main window's four tray components: the notification-area icon with its menu, and the
// "File", "Option" and "Help" menus of its label menu bar; and its keyboard shortcuts. Every
// choice ends in one of the main window's commands.
class MainWindowMenus final : public QObject {
    Q_OBJECT
public:
    MainWindowMenus(NotifyIconShell& shell, QWidget* owner, MainWindowCommands commands);
    ~MainWindowMenus() override;

    // Builds the four menus; the first puts the icon into the notification area.
    void SetupTrayMenus();
    // Takes the four components down, in order; the icon leaves the notification area.
    void unload();

    // The label menu bar: 0 "File", 1 "Option", 2 "Help".
    void Label6_Click(int Index);
    // A key typed in the main window, as its character code; and a key released, by key code.
    void Form_KeyPress(int KeyAscii);
    void Form_KeyUp(int KeyCode);

    // The icon's component, null once unloaded; and the label menus' components by index.
    frmSysTray* trayIcon() const { return m_frmSysTray.get(); }
    frmSysTray* labelMenu(int Index) const;

private:
    void m_frmSysTray_MenuClick(std::int32_t lIndex, const QString& sKey);
    void m_frmSysTray1_MenuClick(std::int32_t lIndex, const QString& sKey);
    void m_frmSysTray2_MenuClick(std::int32_t lIndex, const QString& sKey);
    void m_frmSysTray3_MenuClick(std::int32_t lIndex, const QString& sKey);
    void m_frmSysTray_SysTrayMouseDown(int eButton);

    NotifyIconShell& shell_;
    QWidget* owner_;
    MainWindowCommands commands_;
    std::unique_ptr<frmSysTray> m_frmSysTray;  // the icon and its menu
    std::unique_ptr<frmSysTray> m_frmSysTray1; // "Option"
    std::unique_ptr<frmSysTray> m_frmSysTray2; // "Help"
    std::unique_ptr<frmSysTray> m_frmSysTray3; // "File"
};

} // namespace dormivo

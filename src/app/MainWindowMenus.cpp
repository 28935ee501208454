#include "app/MainWindowMenus.h"

#include "common/Flags.h"
#include "common/Words.h"
#include "shell/KeyPreview.h"

namespace dormivo {

MainWindowMenus::MainWindowMenus(NotifyIconShell& shell, QWidget* owner,
                                 MainWindowCommands commands)
    : shell_(shell), owner_(owner), commands_(std::move(commands)) {}

MainWindowMenus::~MainWindowMenus() = default;

void MainWindowMenus::SetupTrayMenus() {
    m_frmSysTray = std::make_unique<frmSysTray>(shell_);
    m_frmSysTray->AddMenuItem(QStringLiteral("&Start"), QStringLiteral("Start"), true);
    m_frmSysTray->AddMenuItem(QStringLiteral("Sto&p"), QStringLiteral("Stop"));
    m_frmSysTray->AddMenuItem(QStringLiteral("-"));
    m_frmSysTray->AddMenuItem(QStringLiteral("&Main"), QStringLiteral("Main"));
    m_frmSysTray->AddMenuItem(QStringLiteral("&Close"), QStringLiteral("Close"));
    m_frmSysTray->offerMenuToHost();
    m_frmSysTray->setToolTip(kProductTitle);
    m_frmSysTray->setIconHandle(m_frmSysTray->IconHandle());
    trayIconShown = true;
    connect(m_frmSysTray.get(), &frmSysTray::MenuClick, this,
            &MainWindowMenus::m_frmSysTray_MenuClick);
    connect(m_frmSysTray.get(), &frmSysTray::SysTrayMouseDown, this,
            &MainWindowMenus::m_frmSysTray_SysTrayMouseDown);

    m_frmSysTray1 = std::make_unique<frmSysTray>(shell_);
    m_frmSysTray1->AddMenuItem(QStringLiteral("&Setting"), QStringLiteral("Setting"), true);
    m_frmSysTray1->AddMenuItem(QStringLiteral("-"));
    m_frmSysTray1->AddMenuItem(QStringLiteral("Options"), QStringLiteral("Options"));
    m_frmSysTray1->setIconHandle(kApplicationIconHandle);
    connect(m_frmSysTray1.get(), &frmSysTray::MenuClick, this,
            &MainWindowMenus::m_frmSysTray1_MenuClick);

    m_frmSysTray2 = std::make_unique<frmSysTray>(shell_);
    m_frmSysTray2->AddMenuItem(QStringLiteral("&Help"), QStringLiteral("Help"), true);
    m_frmSysTray2->AddMenuItem(QStringLiteral("-"));
    m_frmSysTray2->AddMenuItem(QStringLiteral("About"), QStringLiteral("About"));
    m_frmSysTray2->setIconHandle(kApplicationIconHandle);
    connect(m_frmSysTray2.get(), &frmSysTray::MenuClick, this,
            &MainWindowMenus::m_frmSysTray2_MenuClick);

    m_frmSysTray3 = std::make_unique<frmSysTray>(shell_);
    m_frmSysTray3->AddMenuItem(QStringLiteral("&Start"), QStringLiteral("Start"), true);
    m_frmSysTray3->AddMenuItem(QStringLiteral("Sto&p"), QStringLiteral("Stop"));
    m_frmSysTray3->AddMenuItem(QStringLiteral("-"));
    m_frmSysTray3->AddMenuItem(QStringLiteral("&Minimize In System Tray"),
                               QStringLiteral("Minimize"));
    m_frmSysTray3->AddMenuItem(QStringLiteral("&Close"), QStringLiteral("Close"));
    m_frmSysTray3->setIconHandle(kApplicationIconHandle);
    connect(m_frmSysTray3.get(), &frmSysTray::MenuClick, this,
            &MainWindowMenus::m_frmSysTray3_MenuClick);
}

void MainWindowMenus::unload() {
    for (auto* instance : {&m_frmSysTray, &m_frmSysTray1, &m_frmSysTray2, &m_frmSysTray3})
        instance->reset();
    // The icon has left the notification area: a window loaded again puts it back.
    trayIconShown = false;
}

frmSysTray* MainWindowMenus::labelMenu(int Index) const {
    switch (Index) {
    case 0:
        return m_frmSysTray3.get();
    case 1:
        return m_frmSysTray1.get();
    case 2:
        return m_frmSysTray2.get();
    default:
        return nullptr;
    }
}

void MainWindowMenus::Label6_Click(int Index) {
    if (frmSysTray* menu = labelMenu(Index))
        menu->ShowMenu(owner_);
}

void MainWindowMenus::m_frmSysTray_SysTrayMouseDown(int eButton) {
    if (eButton == 2 && m_frmSysTray)
        m_frmSysTray->ShowMenu(owner_);
}

void MainWindowMenus::m_frmSysTray_MenuClick(std::int32_t, const QString& sKey) {
    if (sKey == QStringLiteral("Start"))
        commands_.Image2_Click(kStartButton);
    else if (sKey == QStringLiteral("Stop"))
        commands_.Image2_Click(kStopButton);
    else if (sKey == QStringLiteral("Main"))
        commands_.showMain();
    else if (sKey == QStringLiteral("Close"))
        commands_.endProgram();
}

void MainWindowMenus::m_frmSysTray1_MenuClick(std::int32_t, const QString& sKey) {
    if (sKey == QStringLiteral("Setting"))
        commands_.openStartupOptions(Modality::Modal);
    else if (sKey == QStringLiteral("Options"))
        commands_.openProgramsList(Modality::Modal);
}

void MainWindowMenus::m_frmSysTray2_MenuClick(std::int32_t, const QString& sKey) {
    if (sKey == QStringLiteral("Help"))
        commands_.openHelp(Modality::Modal);
    else if (sKey == QStringLiteral("About"))
        commands_.openAbout(Modality::Modal);
}

void MainWindowMenus::m_frmSysTray3_MenuClick(std::int32_t, const QString& sKey) {
    if (sKey == QStringLiteral("Start"))
        commands_.Image2_Click(kStartButton);
    else if (sKey == QStringLiteral("Stop"))
        commands_.Image2_Click(kStopButton);
    else if (sKey == QStringLiteral("Minimize"))
        commands_.hideToNotificationArea();
    else if (sKey == QStringLiteral("Close"))
        commands_.unload();
}

void MainWindowMenus::Form_KeyPress(int KeyAscii) {
    if (KeyAscii == kEnter)
        commands_.Image2_Click(kStartButton);
    if (KeyAscii == kCtrlX)
        commands_.unload();
    if (KeyAscii == kCtrlS)
        commands_.Image2_Click(kStopButton);
    if (KeyAscii == kCtrlT)
        commands_.openStartupOptions(Modality::Modeless);
    if (KeyAscii == kCtrlO)
        commands_.openProgramsList(Modality::Modeless);
}

void MainWindowMenus::Form_KeyUp(int KeyCode) {
    if (KeyCode == kF1)
        commands_.openHelp(Modality::Modeless);
}

} // namespace dormivo

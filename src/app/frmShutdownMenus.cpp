// What the main window's menus, icon and keys reach beside the countdown: the dialogs it
// opens, hiding it, and the end of the program; the countdown's commands are in
// frmShutdown.cpp.
#include "app/frmShutdown.h"

#include "common/Words.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmMenu.h"
#include "dialogs/frmPrgSet.h"
#include "dialogs/frmSetting.h"
#include "store/SettingsFailure.h"
#include "store/StoreError.h"

#include <QComboBox>

namespace dormivo {

MainWindowCommands frmShutdown::commands() {
    MainWindowCommands commands;
    commands.Image2_Click = [this](int Index) { Image2_Click(Index); };
    commands.showMain = [this] { bringToFront(this); };
    commands.hideToNotificationArea = [this] { hideToNotificationArea(); };
    commands.unload = [this] { close(); };
    commands.endProgram = [this] { windows_.endNow(0); };
    commands.openStartupOptions = [this](Modality modality) { openStartupOptions(modality); };
    commands.openProgramsList = [this](Modality modality) { openProgramsList(modality); };
    commands.openHelp = [this](Modality modality) { openHelp(modality); };
    commands.openAbout = [this](Modality modality) { openAbout(modality); };
    return commands;
}

void frmShutdown::hideToNotificationArea() {
    // Without a notification area the icon could not bring the window back: minimize instead.
    if (platform_.notifyIcons.isAvailable())
        hide();
    else
        showMinimized();
}

void frmShutdown::endWithStoreError(const StoreError& error) {
    platform_.messages.show(QString::fromStdString(describeSettingsFailure(store_.file(), error)),
                            MessageStyle::Critical, kProductTitle);
    windows_.endNow(1);
}

void frmShutdown::openStartupOptions(Modality modality) {
    windows_.open<frmPrgSet>(modality, [this] {
        return new frmPrgSet(
            platform_, store_, [this](const StoreError& error) { endWithStoreError(error); }, this);
    });
}

void frmShutdown::openProgramsList(Modality modality) {
    windows_.open<frmSetting>(modality, [this] {
        return new frmSetting(
            platform_, store_, Combo1->currentText(),
            [this](const StoreError& error) { endWithStoreError(error); }, this);
    });
}

void frmShutdown::openHelp(Modality modality) {
    windows_.open<frmMenu>(modality, [this] { return new frmMenu(this); });
}

void frmShutdown::openAbout(Modality modality) {
    windows_.open<frmAbout>(modality, [this] { return new frmAbout(this); });
}

} // namespace dormivo

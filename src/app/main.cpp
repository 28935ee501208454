// Start-up: answer the command line, hand over to a running Dormivo, open the settings file,
// then load and show the main window. The program lives as long as a window of it is loaded.
#include "CommandLine.h"
#include "QtFilePicker.h"
#include "QtMessageBoxes.h"
#include "QtNotifier.h"
#include "QtNotifyIconShell.h"
#include "QtProgramLauncher.h"
#include "SettingsFailure.h"
#include "SettingsLocation.h"
#include "SettingsStore.h"
#include "SingleInstance.h"
#include "SkinPictures.h"
#include "StoreError.h"
#include "UserRegistry.h"
#include "WindowTable.h"
#include "frmShutdown.h"

#include <QApplication>
#include <QDir>

#include <memory>
#include <optional>

using namespace dormivo;

int main(int argc, char** argv) {
    if (const auto status = handleCommandLine(argc, argv))
        return *status;

    QApplication app(argc, argv);
    const QString settingsFile = settingsFileFor(QCoreApplication::applicationDirPath());
    SingleInstance instance(settingsFile);
    if (!instance.isFirst())
        return instance.handOver() ? 0 : 1;

    // The main window may be hidden to the notification area and still be loaded, so the
    // program decides itself when it ends.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(kProductTitle);
    const QIcon icon = SkinPictures::applicationIcon();
    QApplication::setWindowIcon(icon);

    QtMessageBoxes messages;
    QtProgramLauncher launcher;
    QtFilePicker filePicker;
    QtNotifyIconShell notifyIcons(icon, QtNotifyIconShell::statusNotifierHostPresent());
    QtNotifier notifier(kProductTitle, icon, [&notifyIcons](const QString& text) {
        notifyIcons.showBalloon(kProductTitle, text);
    });
    const auto registry = registry::openUserRegistry();
    Platform platform{messages,
                      launcher,
                      filePicker,
                      notifyIcons,
                      notifier,
                      *registry,
                      QCoreApplication::applicationDirPath()};

    std::optional<SettingsStore> store;
    try {
        store.emplace(
            SettingsStore::openFile(QDir::toNativeSeparators(settingsFile).toStdString()));
    } catch (const StoreError& error) {
        messages.show(describeSettingsFailure(settingsFile, error), MessageStyle::Critical,
                      kProductTitle);
        return 1;
    }

    // Built, registered and connected before it loads: loading may already show message
    // boxes, and every way of ending, or a second start handing over, has to work from then on.
    WindowTable windows;
    frmShutdown window(platform, *store, windows);
    windows.add(&window);
    instance.listen([&] { window.bringBack(); });
    try {
        window.load();
    } catch (const StoreError& error) {
        messages.show(describeSettingsFailure(settingsFile, error), MessageStyle::Critical,
                      kProductTitle);
        return 1;
    }
    // An end asked for while loading (the icon's Close, Exit, or the window unloaded with no
    // other window open) happened before the event loop could take it.
    if (windows.hasEnded())
        return windows.exitStatus();
    if (windows.isLoaded(&window))
        window.show();
    return app.exec();
}

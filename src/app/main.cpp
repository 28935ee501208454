// Start-up: answer the command line, hand over to a running Dormivo, open the settings file,
// then load and show the main window. The program lives as long as a window of it is loaded.
#include "CommandLine.h"
#include "QtFilePicker.h"
#include "QtMessageBoxes.h"
#include "QtNotifyIconShell.h"
#include "QtProgramLauncher.h"
#include "SettingsFailure.h"
#include "SettingsLocation.h"
#include "SettingsStore.h"
#include "SingleInstance.h"
#include "SkinPictures.h"
#include "StoreError.h"
#include "UserRegistry.h"
#include "frmShutdown.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <memory>
#include <optional>

using namespace dormivo;

namespace {

bool anyWindowShown() {
    for (const QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible())
            return true;
    return false;
}

} // namespace

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
    QtNotifyIconShell notifyIcons(icon);
    const auto registry = registry::openUserRegistry();
    Platform platform{messages,    launcher,  filePicker,
                      notifyIcons, *registry, QCoreApplication::applicationDirPath()};

    std::optional<SettingsStore> store;
    std::unique_ptr<frmShutdown> window;
    try {
        store.emplace(
            SettingsStore::openFile(QDir::toNativeSeparators(settingsFile).toStdString()));
        window = std::make_unique<frmShutdown>(platform, *store);
    } catch (const StoreError& error) {
        messages.show(describeSettingsFailure(settingsFile, error), MessageStyle::Critical,
                      kProductTitle);
        return 1;
    }

    QObject::connect(window.get(), &frmShutdown::unloaded, &app, [] {
        // Once the main window is gone the program ends with its last open window.
        QApplication::setQuitOnLastWindowClosed(true);
        QTimer::singleShot(0, [] {
            if (!anyWindowShown())
                QCoreApplication::quit();
        });
    });
    instance.listen([&window] { bringToFront(*window); });

    window->show();
    return app.exec();
}

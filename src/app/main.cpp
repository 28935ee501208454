// Start-up: answer the command line, hand over to a running Dormivo, open the settings file
// while the display connection and the window's parts are made, then load and show the main
// window. The program lives as long as a window of it is loaded.
#include "app/CommandRequests.h"
#include "app/DisplayConnection.h"
#include "app/ProgramArguments.h"
#include "app/SettingsLocation.h"
#include "app/SingleInstance.h"
#include "app/frmShutdown.h"
#include "common/Words.h"
#include "platform/LinuxProcessWatch.h"
#include "platform/QtFilePicker.h"
#include "platform/QtMessageBoxes.h"
#include "platform/QtNotifier.h"
#include "platform/QtNotifyIconShell.h"
#include "platform/QtProgramLauncher.h"
#include "registry/UserRegistry.h"
#include "shell/SkinPictures.h"
#include "shell/WindowTable.h"
#include "store/SettingsFailure.h"
#include "store/StoreError.h"

#include <QApplication>
#include <QFile>
#include <QStandardPaths>

#include <cstdio>
#include <future>

using namespace dormivo;

namespace {

// Without its settings the program cannot start. Also said on stderr, where a start from a
// terminal or at login leaves a trace.
int failToStart(MessageBoxes& messages, const QString& message) {
    std::fprintf(stderr, "dormivo: %s\n", qPrintable(message));
    messages.show(message, MessageStyle::Critical, kProductTitle);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    // The settings file names the running Dormivo that a later start hands over to.
    const QString appFolder = applicationFolder();
    const SettingsLocation settings = settingsLocationFor(appFolder);
    const auto arguments = handleProgramArguments(argc, argv, settings.file);
    if (const int* status = std::get_if<int>(&arguments))
        return *status;
    const ProgramCommand& command = std::get<ProgramCommand>(arguments);

    // The lock comes first, then the settings file starts opening on a thread of its own: the
    // key derivation, which is most of the opening, runs while the display connection and the
    // window's parts are made. A later start that hands over never opens the file.
    SingleInstance instance(settings.file);
    if (!instance.isFirst()) {
        const QCoreApplication core(argc, argv);
        return finish(
            SingleInstance::ask(settings.file, command, 5000).value_or(SingleInstance::noAnswer()));
    }
    // Under the one-instance lock, which makes this start the only one to copy or repair it.
    auto opening = std::async(std::launch::async, openSettings, settings);

    // Without a display the start ends as if it had not begun: with the file opened in full,
    // never half made, and no lock file of its own left behind.
    DisplayConnection display([&opening, &instance] {
        opening.wait();
        instance.withdraw();
    });
    QApplication app(argc, argv);
    display.established();
    // Listening before anything asks the session bus, which can be slow to answer at login:
    // a later start meanwhile is answered instead of left waiting.
    WindowTable windows;
    CommandRequests requests(windows, command);
    instance.listen([&requests](const ProgramCommand& asked, const SingleInstance::Answer& answer) {
        requests.take(asked, std::move(answer));
    });

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
    const auto balloon = [&notifyIcons](const QString& text) {
        notifyIcons.showBalloon(kProductTitle, text);
    };
    QtNotifier notifier(kProductTitle, icon, balloon);
    QtNotifier alreadyRunning(kProductTitle, icon, balloon, QtNotifier::Kind::Notice);
    const auto registry = registry::openUserRegistry(
        QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
            .toStdString());
    const SystemClock clock;
    LinuxProcessWatch processes;
    Platform platform{messages,  launcher, filePicker, notifyIcons, notifier,
                      *registry, clock,    appFolder,  processes};

    // Built while the settings file opens, and registered and connected once it has: loading
    // may already show message boxes, and every way of ending, or a second start handing
    // over, has to work from then on. A file that cannot be opened is told instead, before
    // any window shows.
    SettingsStore store;
    frmShutdown window(platform, store, windows);
    OpenedSettings opened = opening.get();
    if (!opened.store)
        return failToStart(messages, opened.failure);
    store = std::move(*opened.store);
    windows.add(&window);
    requests.windowBuilt(&window, &alreadyRunning);
    try {
        window.load();
    } catch (const StoreError& error) {
        return failToStart(messages,
                           QString::fromStdString(describeSettingsFailure(store.file(), error)));
    }
    requests.windowLoaded();
    // An end asked for while loading (the icon's Close, Exit, the window unloaded with no
    // other window open, or bad input to this start's command) happened before the event
    // loop could take it.
    if (windows.hasEnded())
        return windows.exitStatus();
    if (windows.isLoaded(&window))
        window.show();
    // This start's token, spent on its own window, would let every program it launches take
    // the focus.
    qunsetenv("XDG_ACTIVATION_TOKEN");
    qunsetenv("DESKTOP_STARTUP_ID");
    return app.exec();
}

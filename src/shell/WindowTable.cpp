#include "shell/WindowTable.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>

namespace dormivo {

WindowTable::WindowTable(Ending ending, QObject* parent)
    : QObject(parent), ending_(std::move(ending)) {
    if (!ending_)
        ending_ = [](int status) { QCoreApplication::exit(status); };
}

void WindowTable::track(const QString& windowClass, QWidget* window) {
    windows_[windowClass] = window;
    // A window loaded again is added again: it keeps one set of connections.
    disconnect(window, nullptr, this, nullptr);
    connect(window, &QObject::destroyed, this, [this, window] { forget(window); });
}

void WindowTable::forget(QWidget* window) {
    for (auto it = windows_.begin(); it != windows_.end(); ++it) {
        // A destroyed window's QPointer is already null: match it by the address it had.
        if (it->second == window || it->second.isNull()) {
            windows_.erase(it);
            emit changed();
            if (windows_.empty())
                endNow(0);
            return;
        }
    }
}

bool WindowTable::isLoaded(const QWidget* window) const {
    for (const auto& [name, loaded] : windows_)
        if (loaded == window)
            return true;
    return false;
}

QWidget* WindowTable::find(const QString& windowClass) const {
    const auto found = windows_.find(windowClass);
    return found == windows_.end() ? nullptr : found->second.data();
}

void WindowTable::endNow(int status) {
    if (ended_)
        return;
    ended_ = true;
    status_ = status;
    emit changed();
    ending_(status);
}

void WindowTable::show(QWidget* window, Modality modality) {
    const bool otherModal = QApplication::activeModalWidget() != nullptr;
    if (modality == Modality::Modal || otherModal)
        window->setWindowModality(Qt::ApplicationModal);
    window->show();
    window->raise();
    window->activateWindow();
    if (modality != Modality::Modal)
        return;
    // Held here until the window unloads; timers and the notification area keep working.
    QPointer<QWidget> guard(window);
    QEventLoop loop;
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    const auto stillLoaded = [this, guard] { return guard && isLoaded(guard) && !ended_; };
    connect(this, &WindowTable::changed, &loop, [&loop, stillLoaded] {
        if (!stillLoaded())
            loop.quit();
    });
    if (stillLoaded())
        loop.exec();
}

bool bringToFront(QWidget* window, const QByteArray& activationToken) {
    // Wayland tells no program whether its window is minimized or covered; a window it shows
    // anew is put in front.
    const bool shownAlready = window->isVisible();
    if (window->isMinimized())
        window->showNormal();
    window->show();
    window->raise();
    // Qt's Wayland plugin activates a window with the token it finds here, and takes it away.
    if (!activationToken.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", activationToken);
    window->activateWindow();
    // Elsewhere it stays unused: the programs Dormivo starts must not inherit it.
    qunsetenv("XDG_ACTIVATION_TOKEN");
    return !QGuiApplication::platformName().startsWith(QStringLiteral("wayland")) ||
           !activationToken.isEmpty() || !shownAlready || QGuiApplication::focusWindow();
}

} // namespace dormivo

#include "app/DisplayConnection.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include <unistd.h>

namespace dormivo {
namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

// How long a display may take to answer the connection before the start gives up.
constexpr std::chrono::seconds kDisplayAnswers{10};

QtMessageHandler passOn = nullptr;
std::vector<HeldMessage> held;
std::function<void()> undoFirst;
// Another thread (opening the settings file) may have its say meanwhile.
std::mutex heldLock;
// Whether the connection stands, for the watch on a display that never answers.
std::mutex connectingLock;
std::condition_variable connected;
bool connecting = false;
std::thread watch;

void release() {
    const std::lock_guard lock(heldLock);
    if (!passOn)
        return;
    qInstallMessageHandler(passOn);
    for (const auto& message : held)
        passOn(message.type, QMessageLogContext(nullptr, 0, nullptr, message.category.constData()),
               message.text);
    held.clear();
    passOn = nullptr;
}

// The displays Qt tried, as the environment names them.
QString displaysTried(bool waylandMissing) {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    const QByteArray x11 = qgetenv("DISPLAY");
    QStringList tried;
    if (!wayland.isEmpty() && (platform.isEmpty() || platform.contains("wayland")))
        tried << QStringLiteral("the Wayland display \"%1\"%2")
                     .arg(QString::fromLocal8Bit(wayland),
                          waylandMissing
                              ? QStringLiteral(" (Qt's Wayland support is not installed)")
                              : QString());
    if (!x11.isEmpty() && (platform.isEmpty() || platform.contains("xcb")))
        tried << QStringLiteral("the X display \"%1\"").arg(QString::fromLocal8Bit(x11));
    return tried.isEmpty() ? QStringLiteral("the display") : tried.join(QStringLiteral(" or "));
}

// Why, in Qt's own words: what its platform code said before it gave up.
QString qtReason() {
    QStringList said;
    for (const auto& message : held)
        if (message.category.startsWith("qt.qpa"))
            said << message.text.simplified();
    return said.isEmpty() ? QString()
                          : QStringLiteral(" (Qt: %1)").arg(said.join(QLatin1String("; ")));
}

[[noreturn]] void giveUp(const QString& why) {
    std::fputs(QStringLiteral("dormivo: %1.\n").arg(why).toLocal8Bit().constData(), stderr);
    if (undoFirst)
        undoFirst();
    ::_exit(1);
}

void watchForAnswer() {
    std::unique_lock lock(connectingLock);
    if (!connected.wait_for(lock, kDisplayAnswers, [] { return !connecting; }))
        giveUp(QStringLiteral("%1 does not answer; start Dormivo in a desktop session")
                   .arg(displaysTried(false)));
}

void hold(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    std::unique_lock lock(heldLock);
    if (type == QtFatalMsg && text.contains(QLatin1String("no Qt platform plugin could be"))) {
        bool waylandMissing = false;
        for (const auto& message : held)
            waylandMissing |= message.text.contains(
                QLatin1String("Could not find the Qt platform plugin \"wayland\""));
        // Read while the lock is held: the settings file's thread may still log meanwhile.
        const QString reason = qtReason();
        lock.unlock();
        giveUp(QStringLiteral("cannot open %1%2; start Dormivo in a desktop session")
                   .arg(displaysTried(waylandMissing), reason));
    }
    held.push_back({type, QByteArray(context.category), text});
    lock.unlock();
    if (type == QtFatalMsg) // any other end is told as Qt tells it, with what led to it
        release();
}

} // namespace

DisplayConnection::DisplayConnection(std::function<void()> undo) {
    undoFirst = std::move(undo);
    passOn = qInstallMessageHandler(hold);
    connecting = true;
    watch = std::thread(watchForAnswer);
}

void DisplayConnection::established() {
    {
        const std::lock_guard lock(connectingLock);
        connecting = false;
    }
    connected.notify_all();
    if (watch.joinable())
        watch.join();
    undoFirst = nullptr;
    release();
}

} // namespace dormivo

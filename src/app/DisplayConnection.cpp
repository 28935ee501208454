#include "app/DisplayConnection.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <cstdio>
#include <mutex>
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

QtMessageHandler passOn = nullptr;
std::vector<HeldMessage> held;
std::function<void()> undoFirst;
// Another thread (opening the settings file) may have its say meanwhile.
std::mutex heldLock;

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

void hold(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    std::unique_lock lock(heldLock);
    if (type == QtFatalMsg && text.contains(QLatin1String("no Qt platform plugin could be"))) {
        bool waylandMissing = false;
        for (const auto& message : held)
            waylandMissing |= message.text.contains(
                QLatin1String("Could not find the Qt platform plugin \"wayland\""));
        const QString line =
            QStringLiteral("dormivo: cannot open %1%2; start Dormivo in a desktop session.\n")
                .arg(displaysTried(waylandMissing), qtReason());
        std::fputs(line.toLocal8Bit().constData(), stderr);
        lock.unlock();
        if (undoFirst)
            undoFirst();
        ::_exit(1);
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
}

void DisplayConnection::established() {
    undoFirst = nullptr;
    release();
}

} // namespace dormivo

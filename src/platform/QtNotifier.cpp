#include "platform/QtNotifier.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QImage>

namespace dormivo {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

// The picture of a message as the server takes it inline: the program's icon need not be
// installed in the icon theme.
struct ImageData {
    QImage image;
};

QDBusArgument& operator<<(QDBusArgument& argument, const ImageData& data) {
    const QImage image = data.image.convertToFormat(QImage::Format_RGBA8888);
    argument.beginStructure();
    argument << image.width() << image.height() << static_cast<int>(image.bytesPerLine()) << true
             << 8 << 4
             << QByteArray(reinterpret_cast<const char*>(image.constBits()),
                           static_cast<int>(image.sizeInBytes()));
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, ImageData&) {
    return argument; // only ever sent
}

QDBusMessage call(const QString& method) {
    return QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
}

} // namespace
} // namespace dormivo

Q_DECLARE_METATYPE(dormivo::ImageData)

namespace dormivo {

QtNotifier::QtNotifier(QString appName, QIcon icon, Balloon balloon, Kind kind, QObject* parent)
    : QObject(parent), appName_(std::move(appName)), icon_(std::move(icon)),
      balloon_(std::move(balloon)), kind_(kind) {}

void QtNotifier::listen(QDBusConnection& bus) {
    if (listening_)
        return;
    listening_ = true;
    qDBusRegisterMetaType<ImageData>();
    bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                SLOT(ActionInvoked(uint, QString)));
    bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                SLOT(NotificationClosed(uint, uint)));
}

QtNotifier::~QtNotifier() {
    withdraw();
}

void QtNotifier::show(const QString& text, std::vector<NotifierChoice> choices) {
    choices_ = std::move(choices);
    const std::uint64_t generation = ++generation_;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        balloon_(text);
        return;
    }
    listen(bus);
    // The message on screen is rewritten where it is; its server answered before.
    if (shownId_ != 0)
        return notify(text, generation);
    // The server's capabilities tell whether a message may carry choices; no answer means no
    // server, and the balloon says it instead.
    auto* watcher =
        new QDBusPendingCallWatcher(bus.asyncCall(call(QStringLiteral("GetCapabilities"))), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, text, generation](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                const QDBusPendingReply<QStringList> reply = *finished;
                if (generation != generation_)
                    return;
                if (reply.isError())
                    return balloon_(text);
                serverTakesChoices_ = reply.value().contains(QStringLiteral("actions"));
                notify(text, generation);
            });
}

void QtNotifier::notify(const QString& text, std::uint64_t generation) {
    QDBusMessage message = call(QStringLiteral("Notify"));
    QStringList actions;
    if (serverTakesChoices_)
        for (const NotifierChoice& choice : choices_)
            actions << choice.key << choice.label;
    const bool warning = kind_ == Kind::Warning;
    QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue<uchar>(warning ? 2 : 1)},
                      {QStringLiteral("desktop-entry"), QStringLiteral("dormivo")}};
    if (!icon_.isNull())
        hints.insert(QStringLiteral("image-data"),
                     QVariant::fromValue(ImageData{icon_.pixmap(48, 48).toImage()}));
    // A warning stays until the countdown ends or the user closes it.
    message << appName_ << shownId_ << QStringLiteral("dormivo") << text << QString() << actions
            << hints << int(warning ? 0 : -1);
    auto* watcher =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(message), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, text, generation](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                const QDBusPendingReply<uint> reply = *finished;
                if (reply.isError()) {
                    if (generation == generation_)
                        balloon_(text);
                    return;
                }
                // Withdrawn or replaced while the server was answering; a message replaced in
                // place keeps its number and stays.
                if (generation != generation_) {
                    if (reply.value() != shownId_)
                        close(reply.value());
                    return;
                }
                shownId_ = reply.value();
            });
}

void QtNotifier::withdraw() {
    ++generation_;
    choices_.clear();
    if (shownId_ != 0)
        close(shownId_);
    shownId_ = 0;
}

void QtNotifier::close(uint id) {
    QDBusMessage message = call(QStringLiteral("CloseNotification"));
    message << id;
    QDBusConnection::sessionBus().asyncCall(message);
}

void QtNotifier::ActionInvoked(uint id, const QString& actionKey) {
    if (id == 0 || id != shownId_)
        return;
    for (const NotifierChoice& choice : choices_)
        if (choice.key == actionKey && choice.choose) {
            const auto choose = choice.choose; // choosing may withdraw this message
            return choose();
        }
}

void QtNotifier::NotificationClosed(uint id, uint) {
    if (id != 0 && id == shownId_)
        shownId_ = 0;
}

} // namespace dormivo

#include "SettingsLocation.h"

#include "SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace dormivo {
namespace {

bool userCanWrite(const QString& folder) {
#ifdef _WIN32
    return QFileInfo(folder).isWritable();
#else
    // The kernel's answer, so that root, groups and ACLs count as they do when writing.
    return ::access(QFile::encodeName(folder).constData(), W_OK) == 0;
#endif
}

// The user's own settings are theirs alone; copied beside the target and renamed so that an
// interrupted first start leaves no half-copied file to be taken for damaged settings.
void copyPrivately(const QString& from, const QString& to) {
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return;
    QDir().mkpath(QFileInfo(to).absolutePath());
    QFile partial(to + QStringLiteral(".partial"));
    // Owner-only before the first byte lands, so no other user ever sees the content.
    if (!partial.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        !partial.setPermissions(QFile::ReadOwner | QFile::WriteOwner))
        return;
    const bool copied = partial.write(source.readAll()) == source.size() && partial.flush();
    partial.close();
    if (!copied || !partial.rename(to))
        partial.remove();
}

} // namespace

QString settingsFileFor(const QString& appFolder) {
    const QString shipped = QDir(appFolder).filePath(QString::fromLatin1(kDatabaseFileName));
    if (userCanWrite(appFolder))
        return shipped;
    const QString own =
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
            .filePath(QStringLiteral("dormivo/") + QString::fromLatin1(kDatabaseFileName));
    if (!QFileInfo::exists(own))
        copyPrivately(shipped, own);
    return own;
}

} // namespace dormivo

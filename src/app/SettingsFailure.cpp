#include "SettingsFailure.h"

#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

namespace dormivo {
namespace {

struct Explanation {
    QString problem;
    QString remedy;
};

const QString kReplace = QStringLiteral(
    "Restore it from a backup, or delete it and reinstall Dormivo to get the default "
    "settings back.");

Explanation explain(const QString& file, const StoreError& error) {
    const QFileInfo info(file);
    if (!info.exists())
        return {QStringLiteral("The file is missing."),
                QStringLiteral("Reinstall Dormivo, or put the settings file back in that "
                               "folder.")};
    if (QString::fromUtf8(error.what()).startsWith(QLatin1String("no such table")))
        return {QStringLiteral("The file lacks a table Dormivo keeps its settings in."), kReplace};
    switch (error.code() & 0xff) {
    case SQLITE_NOTADB:
        return {QStringLiteral("The file is not Dormivo's settings file, or it was saved "
                               "with a different password."),
                kReplace};
    case SQLITE_CORRUPT:
        return {QStringLiteral("The file is damaged."), kReplace};
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return {QStringLiteral("Another program has locked the file."),
                QStringLiteral("Close the other program (for example a database browser or "
                               "a second Dormivo) and start Dormivo again.")};
    case SQLITE_CANTOPEN:
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return {QStringLiteral("You are not allowed to read or change the file."),
                QStringLiteral("Make the file and its folder readable and writable for "
                               "your user, then start Dormivo again.")};
    default:
        return {QStringLiteral("The file cannot be used."), kReplace};
    }
}

} // namespace

QString describeSettingsFailure(const QString& file, const StoreError& error) {
    const Explanation explanation = explain(file, error);
    return QStringLiteral("Dormivo cannot open its settings file\n%1\n\n%2\n%3\n\n(%4)")
        .arg(QDir::toNativeSeparators(file), explanation.problem, explanation.remedy,
             QString::fromUtf8(error.what()));
}

} // namespace dormivo

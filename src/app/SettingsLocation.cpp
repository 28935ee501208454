#include "app/SettingsLocation.h"

#include "common/AtomicFile.h"
#include "store/SettingsFailure.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace dormivo {
namespace {

bool userCanWrite(const QString& path) {
    // The kernel's answer, so that root, groups and ACLs count as they do when writing.
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

// A step of making the private copy failed, with the system's reason.
struct CopyFailure {
    bool reading; // the shipped file, rather than writing the copy
    std::error_code error;
};

void check(std::error_code error) {
    if (error)
        throw CopyFailure{false, error};
}

// Whole or not at all, and owner-only from the first byte, so that no other user ever sees
// the content and a crash never leaves an empty file that would be taken for damaged
// settings.
void copyPrivately(const QByteArray& from, const QByteArray& to) {
    errno = 0;
    const auto content = readFile(from.toStdString());
    if (!content)
        throw CopyFailure{true, {errno ? errno : EISDIR, std::system_category()}};
    check(writeFileAtomically(to.toStdString(), *content, FileAccess::OwnerOnly));
}

void makeAfresh(const QByteArray& file, const QByteArray& shipped, const char* problem) {
    const SetAside aside = setAside(file.toStdString());
    check(aside.error);
    copyPrivately(shipped, file);
    std::fprintf(stderr,
                 "dormivo: the settings file %s %s; it was set aside as %s and the default "
                 "settings put in its place.\n",
                 file.constData(), problem, aside.as.c_str());
}

// An installed Dormivo's files are the defaults of every user, root included: it never
// writes them. Installed means a folder of the system's programs (/usr, /opt), where even
// root writes only through the package manager, or a folder another user owns.
bool isInstalled(const QString& appFolder) {
    const QString canonical = QFileInfo(appFolder).canonicalFilePath();
    struct stat info {};
    return canonical.startsWith(QLatin1String("/usr/")) ||
           canonical.startsWith(QLatin1String("/opt/")) ||
           ::stat(QFile::encodeName(canonical).constData(), &info) != 0 ||
           info.st_uid != ::geteuid();
}

QString copyFailureMessage(const SettingsLocation& location, const CopyFailure& failure) {
    const std::string reason = failure.error.message();
    const std::string file = QDir::toNativeSeparators(location.file).toStdString();
    if (failure.reading)
        return QString::fromStdString(settingsFailureMessage(
            file,
            "Your own copy of it cannot be made: the default settings file " +
                QDir::toNativeSeparators(location.shipped).toStdString() + " cannot be read.",
            "Reinstall Dormivo.", reason));
    return QString::fromStdString(settingsFailureMessage(
        file,
        "Your own copy of the default settings cannot be made in " +
            QDir::toNativeSeparators(QFileInfo(location.file).absolutePath()).toStdString() + ".",
        "Make that folder writable for your user (or set XDG_DATA_HOME to a folder that is), "
        "then start Dormivo again.",
        reason));
}

} // namespace

QString applicationFolder() {
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
}

SettingsLocation settingsLocationFor(const QString& appFolder) {
    const QString shipped = QDir(appFolder).filePath(QString::fromLatin1(kDatabaseFileName));
    // The engine writes its journal beside the file, so the folder must be writable as well.
    // A missing file is not copied: it is reported where it should be.
    if (!isInstalled(appFolder) && userCanWrite(appFolder) &&
        (userCanWrite(shipped) || !QFileInfo::exists(shipped)))
        return {shipped, shipped};
    const QString own =
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
            .filePath(QStringLiteral("dormivo/") + QString::fromLatin1(kDatabaseFileName));
    return {own, shipped};
}

OpenedSettings openSettings(const SettingsLocation& location) {
    const QByteArray file = QFile::encodeName(location.file);
    const QByteArray shipped = QFile::encodeName(location.shipped);
    const auto open = [&] {
        return OpenedSettings{
            SettingsStore::openFile(QDir::toNativeSeparators(location.file).toStdString()), {}};
    };
    try {
        if (location.isPrivateCopy()) {
            struct stat info {};
            if (::stat(file.constData(), &info) != 0 && errno == ENOENT)
                copyPrivately(shipped, file);
            else if (info.st_size == 0 && S_ISREG(info.st_mode))
                makeAfresh(file, shipped, "was empty");
        }
        try {
            return open();
        } catch (const StoreError& error) {
            if (!location.isPrivateCopy() || (error.code() & 0xff) != SQLITE_NOTADB)
                throw;
        }
        makeAfresh(file, shipped, "was not a database");
        return open();
    } catch (const StoreError& error) {
        return {std::nullopt, QString::fromStdString(describeSettingsFailure(
                                  QDir::toNativeSeparators(location.file).toStdString(), error))};
    } catch (const CopyFailure& failure) {
        return {std::nullopt, copyFailureMessage(location, failure)};
    }
}

} // namespace dormivo

#include "app/SettingsLocation.h"

#include "store/SettingsFailure.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dormivo {
namespace {

bool userCanWrite(const QString& path) {
    // The kernel's answer, so that root, groups and ACLs count as they do when writing.
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

// A step of making the private copy failed, with the system's reason (an errno value).
struct CopyFailure {
    bool reading; // the shipped file, rather than writing the copy
    int error;
};

void check(bool done, bool reading = false) {
    if (!done)
        throw CopyFailure{reading, errno};
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // A write the disk could not take may be reported only here.
    bool close() { return ::close(std::exchange(fd_, -1)) == 0; }

private:
    int fd_;
};

void copyContent(int from, int to) {
    char buffer[1 << 16];
    while (true) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        check(got >= 0, true);
        if (got == 0)
            return;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(to, buffer + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno == EINTR)
                continue;
            check(put > 0);
            done += put;
        }
    }
}

// Written beside its final name, flushed to the disk, renamed into place and its folder
// flushed: a crash at any moment leaves no copy or a whole one, never an empty file that
// would be taken for damaged settings. Owner-only from the first byte, so that no other user
// ever sees the content.
void copyPrivately(const QByteArray& from, const QByteArray& to) {
    const Descriptor source(::open(from.constData(), O_RDONLY | O_CLOEXEC));
    check(source.get() >= 0, true);
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(to)).absolutePath());
    std::error_code made;
    std::filesystem::create_directories(folder.toStdString(), made);
    if (made)
        throw CopyFailure{false, made.value()};
    const QByteArray partial = to + ".partial";
    try {
        Descriptor copy(::open(partial.constData(),
                               O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600));
        check(copy.get() >= 0);
        // The umask may have narrowed the mode, and a leftover of an interrupted start kept its
        // own.
        check(::fchmod(copy.get(), 0600) == 0);
        copyContent(source.get(), copy.get());
        check(::fsync(copy.get()) == 0);
        check(copy.close());
        check(::rename(partial.constData(), to.constData()) == 0);
    } catch (const CopyFailure&) {
        ::unlink(partial.constData());
        throw;
    }
    const Descriptor directory(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    check(directory.get() >= 0 && ::fsync(directory.get()) == 0);
}

// Set aside as file.bad, or .bad.1, .bad.2, ...: an earlier one is never overwritten.
QByteArray setAside(const QByteArray& file) {
    QByteArray aside = file + ".bad";
    struct stat taken {};
    for (int n = 1; ::lstat(aside.constData(), &taken) == 0; ++n)
        aside = file + ".bad." + QByteArray::number(n);
    check(::rename(file.constData(), aside.constData()) == 0);
    return aside;
}

void makeAfresh(const QByteArray& file, const QByteArray& shipped, const char* problem) {
    const QByteArray aside = setAside(file);
    copyPrivately(shipped, file);
    std::fprintf(stderr,
                 "dormivo: the settings file %s %s; it was set aside as %s and the default "
                 "settings put in its place.\n",
                 file.constData(), problem, aside.constData());
}

QString copyFailureMessage(const SettingsLocation& location, const CopyFailure& failure) {
    const std::string reason = std::system_category().message(failure.error);
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
    if (userCanWrite(appFolder) && (userCanWrite(shipped) || !QFileInfo::exists(shipped)))
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

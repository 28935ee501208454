#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <optional>

#include <sys/types.h>

namespace dormivo::test {

// A private copy of the built application folder (program, helper, default settings), so
// that a test never touches the build's own settings file.
class AppFolder {
public:
    AppFolder();
    QString path() const { return dir_.path(); }
    QString program() const;
    QString settingsFile() const;

private:
    QTemporaryDir dir_;
};

// Home, config, data and runtime folders of their own, for a run of the real program.
struct UserFolders {
    QTemporaryDir home;
    QProcessEnvironment environment() const;
};

// An ordinary user to run the real program as, so that folders and files can be out of its
// reach; only root (as in CI) can switch to it, so tests skip without it.
struct OtherUser {
    uid_t uid;
    gid_t gid;
    // Makes a file or folder this user's.
    void own(const QString& path) const;
    // The process runs as this user.
    void runs(QProcess& process) const;
};
std::optional<OtherUser> nobody();

// Pumps events until the condition holds or the bound runs out.
bool waitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds bound = std::chrono::seconds(15));

// Reads the program's stderr until it has said every one of the texts, it ends or the bound
// runs out; returns all it said.
QString errorsUntil(QProcess& program, const QStringList& texts);

// Runs a program to its end within a bound; kills it when the bound runs out.
bool runToEnd(QProcess& process, std::chrono::milliseconds bound = std::chrono::seconds(15));

} // namespace dormivo::test

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
struct AppFolder {
    AppFolder();
    QString path() const { return dir.path(); }
    QString program() const { return dir.filePath(QStringLiteral("dormivo")); }
    QString settingsFile() const { return dir.filePath(QStringLiteral("info.velkaro")); }
    QTemporaryDir dir;
};

// Home, config, data and runtime folders of their own, for a run of the real program.
struct UserFolders {
    QTemporaryDir home;
    QString file(const QString& inHome) const { return home.filePath(inHome); }
    QProcessEnvironment environment() const;
};

// An ordinary user to run the real program as, so that folders and files can be out of its
// reach; only root (as in CI) can switch to it, so tests skip without it.
struct OtherUser {
    uid_t uid;
    gid_t gid;
    // Makes a file or folder this user's.
    void own(const QString& path) const;
};
std::optional<OtherUser> nobody();

// The real program from a copy of its folder, as another user when given one; killed, if it
// still runs, when the test is done with it.
class RealProgram : public QProcess {
public:
    RealProgram(const AppFolder& app, const QProcessEnvironment& environment,
                const OtherUser* user = nullptr);
    ~RealProgram() override;
    // Waits until the condition holds; false when the program ended first, or after 15 s.
    bool runsUntil(const std::function<bool()>& condition);
    // Waits until it has said every one of the texts on stderr; false when it ended first.
    bool says(const QStringList& texts);
    // All it said on stderr so far.
    QString said();

private:
    QString said_;
};

// Runs a program to its end within a bound; kills it when the bound runs out.
bool runToEnd(QProcess& process, std::chrono::milliseconds bound = std::chrono::seconds(15));

// Whether a program listens for later starts in the folder.
bool listensIn(const QString& folder);

// Writes a file, and the folders it needs.
void writeFile(const QString& path, const QByteArray& content);

} // namespace dormivo::test

#pragma once

#include "platform/ProgramLauncher.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>

class QSocketNotifier;

namespace dormivo {

// A program that runs to its end whatever becomes of us. It is started by a small watcher
// process in a session of its own that is not our child, so quitting, a signal or a crash
// here does not end it; the watcher sends its exit status and error output back through a
// pipe. A failure is reported while the application runs, never once it has begun to quit.
class WatchedProcess final : public QObject {
    Q_OBJECT

public:
    // Returns whether the program could be started.
    static bool start(const QString& program, const QStringList& arguments,
                      ProgramLauncher::FailureReport onFailure);
    ~WatchedProcess() override;

private:
    WatchedProcess(int reportPipe, ProgramLauncher::FailureReport onFailure);
    void readReport();
    void finish();

    int reportPipe_;
    QSocketNotifier* notifier_;
    QByteArray report_;
    ProgramLauncher::FailureReport onFailure_;
};

} // namespace dormivo

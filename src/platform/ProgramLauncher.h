#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace dormivo {

// Starts a program and does not wait for it.
class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    // A command line that names an existing file is started as that file, blanks in its
    // path included; anything else is split into program and arguments, the program being
    // the longest blank-separated prefix that is a program file. Never goes through a shell.
    // Returns whether the program could be started.
    virtual bool start(const QString& commandLine) = 0;

    using FailureReport = std::function<void(const QString& errorOutput)>;
    // Starts a program with these arguments and keeps an eye on it: when it ends with a failure,
    // onFailure is called, later, with what the program wrote to its error output. The
    // program runs to its end even when we end first; once the application has begun to
    // quit, onFailure is dropped uncalled, so it must only guard what it points at while
    // the application runs.
    virtual bool startWatched(const QString& program, const QStringList& arguments,
                              FailureReport onFailure) = 0;
};

} // namespace dormivo

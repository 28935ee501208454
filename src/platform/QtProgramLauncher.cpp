#include "platform/QtProgramLauncher.h"

#include "platform/WatchedProcess.h"
#include "registry/SplitCommandLine.h"

#include <QProcess>

namespace dormivo {

QStringList QtProgramLauncher::split(const QString& commandLine) {
    // The same reading as the autostart entries, so a program starts at login as at expiry.
    QStringList arguments;
    for (const auto& argument : registry::splitCommandLine(commandLine.toStdString()))
        arguments << QString::fromStdString(argument);
    return arguments;
}

bool QtProgramLauncher::start(const QString& commandLine) {
    QStringList arguments = split(commandLine);
    if (arguments.isEmpty())
        return false;
    const QString program = arguments.takeFirst();
    return QProcess::startDetached(program, arguments);
}

bool QtProgramLauncher::startWatched(const QString& program, const QStringList& arguments,
                                     FailureReport onFailure) {
    return WatchedProcess::start(program, arguments, std::move(onFailure));
}

} // namespace dormivo

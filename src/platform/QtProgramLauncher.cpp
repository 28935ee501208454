#include "QtProgramLauncher.h"

#include "CommandLine.h"

#include <QCoreApplication>
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

bool QtProgramLauncher::startWatched(const QString& commandLine, FailureReport onFailure) {
    QStringList arguments = split(commandLine);
    if (arguments.isEmpty())
        return false;
    auto* process = new QProcess(QCoreApplication::instance());
    process->setProgram(arguments.takeFirst());
    process->setArguments(arguments);
    process->setStandardOutputFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process,
                     [process, onFailure](int exitCode, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || exitCode != 0)
                             onFailure(
                                 QString::fromLocal8Bit(process->readAllStandardError()).trimmed());
                         process->deleteLater();
                     });
    process->start();
    if (process->waitForStarted()) {
        return true;
    }
    delete process;
    return false;
}

} // namespace dormivo

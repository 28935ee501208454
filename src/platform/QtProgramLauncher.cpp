#include "QtProgramLauncher.h"

#include <QFileInfo>
#include <QProcess>

namespace dormivo {

QStringList QtProgramLauncher::split(const QString& commandLine) {
    if (QFileInfo(commandLine).isFile())
        return {commandLine};
    return QProcess::splitCommand(commandLine);
}

bool QtProgramLauncher::start(const QString& commandLine) {
    QStringList arguments = split(commandLine);
    if (arguments.isEmpty())
        return false;
    const QString program = arguments.takeFirst();
    return QProcess::startDetached(program, arguments);
}

} // namespace dormivo

#include "QtProgramLauncher.h"
#include "WatchedProcess.h"

#include <QFileInfo>
#include <QProcess>

namespace dormivo {
namespace {

bool isProgramFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

} // namespace

QStringList QtProgramLauncher::split(const QString& commandLine) {
    const QString line = commandLine.trimmed();
    if (QFileInfo(line).isFile())
        return {line};
    // An unquoted program path may hold blanks (an application folder under "My Apps"):
    // the first prefix, up to a blank, that is a program file is the program, as a Windows
    // command line is read; the rest are its arguments.
    if (!line.startsWith(QLatin1Char('"'))) {
        for (qsizetype blank = line.indexOf(QLatin1Char(' ')); blank > 0;
             blank = line.indexOf(QLatin1Char(' '), blank + 1)) {
            if (isProgramFile(line.left(blank)))
                return QStringList{line.left(blank)} + QProcess::splitCommand(line.mid(blank + 1));
        }
    }
    return QProcess::splitCommand(line);
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
    const QString program = arguments.takeFirst();
    return WatchedProcess::start(program, arguments, std::move(onFailure));
}

} // namespace dormivo

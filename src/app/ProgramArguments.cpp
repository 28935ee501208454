#include "app/ProgramArguments.h"

#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcessEnvironment>

#include <cstdio>

namespace dormivo {
namespace {

// Qt aborts when its window system is out of reach; say so plainly before that happens.
bool displayReachable(const QProcessEnvironment& environment) {
    const QString platform = environment.value(QStringLiteral("QT_QPA_PLATFORM"));
    const bool x11 = !environment.value(QStringLiteral("DISPLAY")).isEmpty();
    const bool wayland = !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
    if (platform.isEmpty())
        return x11 || wayland;
    if (platform.startsWith(QLatin1String("xcb")))
        return x11;
    if (platform.startsWith(QLatin1String("wayland")))
        return wayland;
    return true; // offscreen, vnc, eglfs and the like need no display server
}

} // namespace

int finish(const ArgumentsExit& exit) {
    std::fputs(exit.out.toLocal8Bit().constData(), stdout);
    std::fputs(exit.err.toLocal8Bit().constData(), stderr);
    return exit.status;
}

std::variant<int, ProgramCommand> handleProgramArguments(int argc, char** argv,
                                                         const QString& settingsFile) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const auto read = readArguments(arguments);
    if (const auto* exit = std::get_if<ArgumentsExit>(&read))
        return finish(*exit);
    auto command = std::get<ProgramCommand>(read);
    // The clock time as the caller's clock and time zone read it, whatever the running
    // Dormivo's are.
    if (command.kind == ProgramCommand::Kind::At)
        command.until = nextClockTime(command.at, QDateTime::currentMSecsSinceEpoch(),
                                      QTimeZone::systemTimeZone());
    const QString program = QFileInfo(arguments.value(0)).fileName();
    // The running Dormivo answers without a display, or an application of this start's own
    // on it; a later start ends at once.
    std::optional<ArgumentsExit> answer;
    {
        const QCoreApplication app(argc, argv);
        answer = SingleInstance::ask(settingsFile, command);
    }
    if (answer)
        return finish(*answer);
    using Kind = ProgramCommand::Kind;
    if (command.kind == Kind::Status)
        return finish({1, QStringLiteral("Dormivo is not running\n"), {}});
    if (command.kind == Kind::Stop)
        return finish({1, {}, program + QStringLiteral(": Dormivo is not running\n")});
    if (!displayReachable(QProcessEnvironment::systemEnvironment()))
        return finish({1,
                       {},
                       program + QStringLiteral(": no display to show the window on (DISPLAY "
                                                "and WAYLAND_DISPLAY are unset); start Dormivo "
                                                "in a desktop session.\n")});
    return command;
}

} // namespace dormivo

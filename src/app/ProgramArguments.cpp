#include "app/ProgramArguments.h"

#include <QCommandLineParser>
#include <QFileInfo>

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

std::optional<ArgumentsExit> checkProgramArguments(const QStringList& arguments,
                                                   const QProcessEnvironment& environment) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Shuts down, restarts or launches programs when a countdown runs out."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help and exits."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Shows the version and exits."));
    parser.addOption(help);
    parser.addOption(version);

    // Without an application object the parser cannot name the program in its usage line.
    const QString program =
        arguments.isEmpty() ? QStringLiteral("dormivo") : QFileInfo(arguments.first()).fileName();
    const auto usage = [&] {
        return parser.helpText().replace(QLatin1String("<executable_name>"), program);
    };

    if (!parser.parse(arguments))
        return ArgumentsExit{2,
                             {},
                             program + QStringLiteral(": ") + parser.errorText() +
                                 QLatin1Char('\n') + usage()};
    if (!parser.positionalArguments().isEmpty())
        return ArgumentsExit{2,
                             {},
                             program + QStringLiteral(": unexpected argument '") +
                                 parser.positionalArguments().first() + QStringLiteral("'\n") +
                                 usage()};
    if (parser.isSet(help))
        return ArgumentsExit{0, usage(), {}};
    if (parser.isSet(version))
        return ArgumentsExit{0, QStringLiteral("Dormivo " DORMIVO_VERSION "\n"), {}};
    if (!displayReachable(environment))
        return ArgumentsExit{
            1,
            {},
            program + QStringLiteral(": no display to show the window on (DISPLAY and "
                                     "WAYLAND_DISPLAY are unset); start Dormivo in a desktop "
                                     "session.\n")};
    return std::nullopt;
}

std::optional<int> handleProgramArguments(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const auto exit = checkProgramArguments(arguments, QProcessEnvironment::systemEnvironment());
    if (!exit)
        return std::nullopt;
    std::fputs(exit->out.toLocal8Bit().constData(), stdout);
    std::fputs(exit->err.toLocal8Bit().constData(), stderr);
    return exit->status;
}

} // namespace dormivo

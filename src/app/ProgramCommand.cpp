#include "app/ProgramCommand.h"

#include "common/WholeNumber.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>

namespace dormivo {
namespace {

using Kind = ProgramCommand::Kind;

const QString kDescription =
    QStringLiteral("Shuts down, restarts or launches programs when a countdown runs out.\n\n"
                   "Without options it shows its window, or the window of the Dormivo that\n"
                   "already runs. The commands go to the running Dormivo and end once it has\n"
                   "acted; --start, --at and --after start Dormivo when none runs. They set the\n"
                   "window's boxes and press its buttons, as you would.\n\n"
                   "Actions, named as in the window's list, in any case: Shut Down, Restart,\n"
                   "Log Off, Stand By, Hibernate, Lauch Program.\n\n"
                   "Exit status: 0 done, 1 not done (nothing runs, or Start was refused), 2 bad\n"
                   "input, which changes nothing.");

// A whole number of units (isPeriod); without a unit, minutes.
std::optional<std::pair<int, bool>> readPeriod(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^([0-9]+)([mh]?)$"));
    const QRegularExpressionMatch match = form.match(text);
    bool number = false;
    const int period = match.hasMatch() ? match.captured(1).toInt(&number) : 0;
    if (!number || !isPeriod(period))
        return std::nullopt;
    return std::pair{period, match.captured(2) == QLatin1String("h")};
}

// 24-hour HH:MM, the hour with one digit or two.
QTime readClockTime(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,2}):([0-9]{2})$"));
    const QRegularExpressionMatch match = form.match(text);
    return match.hasMatch() ? QTime(match.captured(1).toInt(), match.captured(2).toInt()) : QTime();
}

} // namespace

QString oneLine(const QString& text) {
    QString line;
    for (const QChar c : text) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph)
            line += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            line += c;
    }
    return line;
}

std::variant<ProgramCommand, ArgumentsExit> readArguments(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(kDescription);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help and exits."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Shows the version and exits."));
    const QString limits = QString::fromStdString(periodLimits());
    const QCommandLineOption start(QStringLiteral("start"),
                                   QStringLiteral("Starts a countdown of PERIOD: a whole number "
                                                  "from %1, of minutes (45 or 45m) or hours (2h).")
                                       .arg(limits),
                                   QStringLiteral("PERIOD"));
    const QCommandLineOption at(QStringLiteral("at"),
                                QStringLiteral("Starts a countdown to the next time the clock "
                                               "shows HH:MM (24-hour, local time)."),
                                QStringLiteral("HH:MM"));
    const QCommandLineOption after(
        QStringLiteral("after"),
        QStringLiteral(
            "Waits until the process PID, or every process of yours named NAME, "
            "has ended, then starts the countdown of --start (1 minute without it). Starts "
            "Dormivo when none runs."),
        QStringLiteral("PID|NAME"));
    const QCommandLineOption action(
        QStringLiteral("action"),
        QStringLiteral("With --start, --at or --after: the action to run, named as in the window's "
                       "action list, in any case (\"shut down\"). Without it the window's "
                       "choice stays."),
        QStringLiteral("NAME"));
    const QCommandLineOption stop(QStringLiteral("stop"), QStringLiteral("Stops the countdown."));
    const QCommandLineOption status(
        QStringLiteral("status"),
        QStringLiteral("Prints the remaining time of the countdown (status 0), or Not Running "
                       "(status 1)."));
    parser.addOptions({help, version, start, at, after, action, stop, status});

    // Without an application object the parser cannot name the program in its usage line.
    const QString program =
        arguments.isEmpty() ? QStringLiteral("dormivo") : QFileInfo(arguments.first()).fileName();
    const auto bad = [&program](const QString& why) {
        return ArgumentsExit{2, {}, program + QStringLiteral(": ") + oneLine(why) + '\n'};
    };
    if (!parser.parse(arguments))
        return bad(parser.errorText() + QStringLiteral(" See ") + program +
                   QStringLiteral(" --help."));
    if (!parser.positionalArguments().isEmpty())
        return bad(QStringLiteral("unexpected argument '%1'; see %2 --help.")
                       .arg(parser.positionalArguments().first(), program));
    if (parser.isSet(help))
        return ArgumentsExit{
            0, parser.helpText().replace(QLatin1String("<executable_name>"), program), {}};
    if (parser.isSet(version))
        return ArgumentsExit{0, QStringLiteral("Dormivo " DORMIVO_VERSION "\n"), {}};

    const QStringList given = parser.optionNames();
    const auto times = [&given](const QCommandLineOption& option) {
        return given.count(option.names().first());
    };
    // --after takes its period from --start.
    if (times(start) + times(at) + times(stop) + times(status) + times(after) >
        1 + (times(after) == 1 && times(start) == 1))
        return bad(QStringLiteral("give one of --start, --at, --after, --stop and --status, "
                                  "once; --after may come with --start."));
    if (times(action) > 1)
        return bad(QStringLiteral("give --action once."));
    if (times(action) == 1 && !parser.isSet(start) && !parser.isSet(at) && !parser.isSet(after))
        return bad(QStringLiteral("--action goes with --start, --at or --after."));

    ProgramCommand command;
    if (parser.isSet(action)) {
        command.action = parser.value(action);
        if (command.action->isEmpty() || command.action->size() > kMaxActionName)
            return bad(QStringLiteral("give the action's name as the window's list shows it."));
    }
    if (parser.isSet(start)) {
        const auto period = readPeriod(parser.value(start));
        if (!period)
            return bad(QStringLiteral("the period '%1' is not a whole number from %2, "
                                      "followed by nothing or m for minutes, h for hours.")
                           .arg(parser.value(start), limits));
        command.kind = Kind::Start;
        std::tie(command.period, command.hours) = *period;
    }
    if (parser.isSet(after)) {
        command.after = parser.value(after);
        if (command.after.isEmpty() || command.after.toUtf8().size() > kMaxProgramName)
            return bad(QStringLiteral("give --after a process id or a program's name."));
        command.kind = Kind::After;
        command.period = command.period > 0 ? command.period : 1;
    } else if (parser.isSet(at)) {
        command.at = readClockTime(parser.value(at));
        if (!command.at.isValid())
            return bad(QStringLiteral("the time '%1' is not a 24-hour clock time HH:MM.")
                           .arg(parser.value(at)));
        command.kind = Kind::At;
    } else if (parser.isSet(stop)) {
        command.kind = Kind::Stop;
    } else if (parser.isSet(status)) {
        command.kind = Kind::Status;
    }
    return command;
}

QStringList commandArguments(const ProgramCommand& command) {
    QStringList arguments;
    switch (command.kind) {
    case Kind::Show:
        return arguments;
    case Kind::Start:
        arguments << QStringLiteral("--start")
                  << QString::number(command.period) + QLatin1Char(command.hours ? 'h' : 'm');
        break;
    case Kind::At:
        arguments << QStringLiteral("--at") << command.at.toString(QStringLiteral("HH:mm"));
        break;
    case Kind::After:
        arguments << QStringLiteral("--after") << command.after << QStringLiteral("--start")
                  << QString::number(command.period) + QLatin1Char(command.hours ? 'h' : 'm');
        break;
    case Kind::Stop:
        return {QStringLiteral("--stop")};
    case Kind::Status:
        return {QStringLiteral("--status")};
    }
    if (command.action)
        arguments << QStringLiteral("--action") << *command.action;
    return arguments;
}

std::int64_t nextClockTime(QTime at, std::int64_t nowMs, const QTimeZone& zone) {
    const QDate today = QDateTime::fromMSecsSinceEpoch(nowMs, zone).date();
    for (int day = 0; day <= 2; ++day) {
        // The clock time as if the zone were UTC; each offset the zone has around it gives
        // an instant, which counts when the zone really has that offset then.
        const std::int64_t naive = QDateTime(today.addDays(day), at, Qt::UTC).toMSecsSinceEpoch();
        std::optional<std::int64_t> first;
        std::optional<std::int64_t> skipped; // the time falls in a jump: where the clock lands
        for (const std::int64_t around : {naive - 86'400'000, naive, naive + 86'400'000}) {
            const int offset = zone.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(around, Qt::UTC));
            const std::int64_t instant = naive - std::int64_t{offset} * 1000;
            const int there = zone.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(instant, Qt::UTC));
            if (there == offset && instant > nowMs && (!first || instant < *first))
                first = instant;
            else if (there > offset)
                skipped =
                    zone.previousTransition(QDateTime::fromMSecsSinceEpoch(instant + 1, Qt::UTC))
                        .atUtc.toMSecsSinceEpoch();
        }
        if (first)
            return *first;
        if (skipped && *skipped > nowMs)
            return *skipped;
    }
    return nowMs + 86'400'000; // no zone has a day without that time
}

} // namespace dormivo

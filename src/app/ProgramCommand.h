#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QTimeZone>

#include <cstdint>

#include <optional>
#include <variant>

namespace dormivo {

// What a start of the program asks for: the window, or one of the commands that a script
// sends to the running Dormivo.
struct ProgramCommand {
    enum class Kind { Show, Start, At, After, Stop, Status };
    Kind kind = Kind::Show;
    int period = 0;     // Start and After: a period (isPeriod) of units
    bool hours = false; // Start and After: the unit is hours, not minutes
    QTime at = {};      // At: the clock time, in whole minutes
    // At, from the caller on: the instant it names, in milliseconds since the epoch, worked out
    // where the command was given, in that time zone.
    std::int64_t until = 0;
    QString after = {};                 // After: the process id or the program's name
    std::optional<QString> action = {}; // Start, At and After: the action's name, in any case
    // Show, handed over to the running Dormivo: the token a Wayland desktop gave this start,
    // with which that window may come to the front.
    QByteArray activationToken = {};
    bool operator==(const ProgramCommand&) const = default;
};

// What the command line or a running Dormivo answers: text for stdout and stderr, and the
// status to end with.
struct ArgumentsExit {
    int status = 0;
    QString out;
    QString err;
    bool operator==(const ArgumentsExit&) const = default;
};

// An action's name longer than this is no name of the list, and would not fit a request.
inline constexpr int kMaxActionName = 255;
// The most bytes of a program's name in UTF-8, as of any file name.
inline constexpr int kMaxProgramName = 255;

// The text with its line breaks and other control characters written as \xNN, so that a line
// that quotes it stays one line.
QString oneLine(const QString& text);

// Reads the arguments (the first is the program). Help, the version and bad input (status 2,
// one line on stderr) end the program before it starts.
std::variant<ProgramCommand, ArgumentsExit> readArguments(const QStringList& arguments);

// The arguments that ask for the command, program name left out; read back, they give the
// same command.
QStringList commandArguments(const ProgramCommand& command);

// The first instant after now (milliseconds since the epoch) at which the zone's clock shows
// at. On a night that skips that time, the first instant after the jump, that night; on a
// night that shows it twice, the first of the two.
std::int64_t nextClockTime(QTime at, std::int64_t nowMs, const QTimeZone& zone);

} // namespace dormivo

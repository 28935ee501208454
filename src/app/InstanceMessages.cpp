#include "app/InstanceMessages.h"

#include <algorithm>

namespace dormivo {
namespace {

const QByteArray kShow = "show";
const QByteArray kRun = "run";
const QByteArray kAt = "at"; // a clock time, followed by the instant the caller worked out
const QByteArray kShown = "shown";
const QByteArray kAnswer = "answer";

QByteArray encoded(const QString& text) {
    return text.toUtf8().toPercentEncoding();
}

QString decoded(const QByteArray& field) {
    return QString::fromUtf8(QByteArray::fromPercentEncoding(field));
}

// Tokens are short printable words; anything else is no token.
bool isActivationToken(const QByteArray& token) {
    return !token.isEmpty() && token.size() <= 512 &&
           std::all_of(token.begin(), token.end(), [](char c) { return c > ' ' && c < 0x7f; });
}

} // namespace

QByteArray encodeRequest(const ProgramCommand& command) {
    if (command.kind == ProgramCommand::Kind::Show)
        return kShow +
               (isActivationToken(command.activationToken) ? ' ' + command.activationToken
                                                           : QByteArray()) +
               '\n';
    QByteArray line = command.kind == ProgramCommand::Kind::At
                          ? kAt + ' ' + QByteArray::number(command.until)
                          : kRun;
    for (const QString& argument : commandArguments(command))
        line += ' ' + encoded(argument);
    return line + '\n';
}

std::optional<ProgramCommand> decodeRequest(QByteArrayView line) {
    const QList<QByteArray> fields = line.toByteArray().split(' ');
    if (fields.first() == kShow && fields.size() <= 2) {
        const QByteArray token = fields.value(1);
        return ProgramCommand{.activationToken = isActivationToken(token) ? token : QByteArray()};
    }
    const bool at = fields.first() == kAt;
    if (!at && fields.first() != kRun)
        return std::nullopt;
    bool number = false;
    const std::int64_t until = at ? fields.value(1).toLongLong(&number) : 0;
    if (at && (!number || until <= 0))
        return std::nullopt;
    QStringList arguments{QStringLiteral("dormivo")};
    for (qsizetype i = at ? 2 : 1; i < fields.size(); ++i)
        arguments << decoded(fields[i]);
    auto read = readArguments(arguments);
    auto* command = std::get_if<ProgramCommand>(&read);
    // Help, the version or bad input are nothing a script sends; nor is a clock time without
    // its instant, nor an instant without a clock time.
    if (!command || at != (command->kind == ProgramCommand::Kind::At))
        return std::nullopt;
    command->until = until;
    return *command;
}

QByteArray encodeAnswer(const ArgumentsExit& answer) {
    if (answer == ArgumentsExit{})
        return kShown + '\n';
    return kAnswer + ' ' + QByteArray::number(answer.status) + ' ' + encoded(answer.out) + ' ' +
           encoded(answer.err) + '\n';
}

std::optional<ArgumentsExit> decodeAnswer(QByteArrayView line) {
    if (line == kShown)
        return ArgumentsExit{};
    const QList<QByteArray> fields = line.toByteArray().split(' ');
    bool number = false;
    const int status = fields.size() == 4 ? fields[1].toInt(&number) : -1;
    if (fields.first() != kAnswer || !number || status < 0 || status > 255)
        return std::nullopt;
    return ArgumentsExit{status, decoded(fields[2]), decoded(fields[3])};
}

} // namespace dormivo

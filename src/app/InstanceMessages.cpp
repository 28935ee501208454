#include "app/InstanceMessages.h"

#include <algorithm>

namespace dormivo {
namespace {

const QByteArray kShow = "show";
const QByteArray kRun = "run";
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
    QByteArray line = kRun;
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
    if (fields.first() != kRun)
        return std::nullopt;
    QStringList arguments{QStringLiteral("dormivo")};
    for (qsizetype i = 1; i < fields.size(); ++i)
        arguments << decoded(fields[i]);
    auto command = readArguments(arguments);
    if (auto* known = std::get_if<ProgramCommand>(&command))
        return *known;
    return std::nullopt; // help, the version or bad input: nothing a script sends
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

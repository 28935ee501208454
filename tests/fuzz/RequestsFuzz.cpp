// The first byte chooses what is read. A socket line is a command Dormivo can carry out or is
// refused, and sent again reads as itself within the bound; answers likewise. Any command line
// is a command, help, the version or bad input told in one line; as arguments it reads as itself.
#include "Property.h"
#include "app/InstanceMessages.h"
#include "app/ProgramCommand.h"
#include "common/WholeNumber.h"

#include <cstdint>

using namespace dormivo;

namespace {

bool wellFormed(const ProgramCommand& command) {
    using Kind = ProgramCommand::Kind;
    const bool after = command.kind == Kind::After;
    const bool starts = command.kind == Kind::Start || command.kind == Kind::At || after;
    const QByteArray& token = command.activationToken;
    return (token.isEmpty() || (command.kind == Kind::Show && token.size() <= 512 &&
                                !token.contains(' ') && !token.contains('\n'))) &&
           (command.kind != Kind::Start || isPeriod(command.period)) &&
           (after ? isPeriod(command.period) && !command.after.isEmpty()
                  : command.after.isEmpty()) &&
           (command.kind != Kind::At ||
            (command.at.isValid() && command.at.second() == 0 && command.at.msec() == 0)) &&
           (!command.action ||
            (starts && !command.action->isEmpty() && command.action->size() <= kMaxActionName));
}

void checkArguments(QByteArrayView bytes) {
    QStringList arguments{QStringLiteral("dormivo")};
    if (!bytes.isEmpty())
        for (const QByteArray& argument : bytes.toByteArray().split('\0'))
            arguments << QString::fromUtf8(argument);
    const auto read = readArguments(arguments);
    if (const auto* exit = std::get_if<ArgumentsExit>(&read)) {
        require(exit->status == 0
                    ? !exit->out.isEmpty() && exit->err.isEmpty()
                    : exit->status == 2 && exit->out.isEmpty() &&
                          exit->err.startsWith(QStringLiteral("dormivo: ")) &&
                          exit->err.indexOf(QLatin1Char('\n')) == exit->err.size() - 1,
                "help and the version print, bad input says why in one line");
        return;
    }
    const auto& command = std::get<ProgramCommand>(read);
    require(readArguments(QStringList{QStringLiteral("dormivo")} + commandArguments(command)) ==
                read,
            "a command written as arguments reads as itself");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const QByteArrayView line(data + 1, static_cast<qsizetype>(size - 1));
    if (data[0] & 2) {
        checkArguments(line);
        return 0;
    }
    if (data[0] & 1) {
        const auto answer = decodeAnswer(line);
        if (answer) {
            const QByteArray sent = encodeAnswer(*answer);
            require(sent.indexOf('\n') == sent.size() - 1 &&
                        decodeAnswer(sent.chopped(1)) == answer,
                    "an answer sent again is one line that reads as itself");
        }
        return 0;
    }
    const auto command = decodeRequest(line);
    if (!command)
        return 0;
    require(wellFormed(*command), "a request read is a command Dormivo can carry out");
    const QByteArray sent = encodeRequest(*command);
    require(sent.indexOf('\n') == sent.size() - 1 && sent.size() <= kMaxRequest &&
                decodeRequest(sent.chopped(1)) == command,
            "a request sent again is one line within the bound that reads as itself");
    return 0;
}

// Any line on the one-instance socket is a command Dormivo can carry out or is refused: a
// period of 1 to 32767 units, a whole-minute clock time, a name the list could hold. Sent
// again, it is one line within the bound that reads as itself. The same holds for the answers
// a later start reads (the first byte chooses which is read).
#include "Property.h"
#include "app/InstanceMessages.h"
#include "common/WholeNumber.h"

#include <cstdint>

using namespace dormivo;

namespace {

bool oneLine(const QByteArray& message) {
    return message.indexOf('\n') == message.size() - 1;
}

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const QByteArrayView line(data + 1, static_cast<qsizetype>(size - 1));
    if (data[0] & 1) {
        const auto answer = decodeAnswer(line);
        if (answer) {
            const QByteArray sent = encodeAnswer(*answer);
            require(oneLine(sent) && decodeAnswer(sent.chopped(1)) == answer,
                    "an answer sent again is one line that reads as itself");
        }
        return 0;
    }
    const auto command = decodeRequest(line);
    if (!command)
        return 0;
    require(wellFormed(*command), "a request read is a command Dormivo can carry out");
    const QByteArray sent = encodeRequest(*command);
    require(oneLine(sent) && sent.size() <= kMaxRequest &&
                decodeRequest(sent.chopped(1)) == command,
            "a request sent again is one line within the bound that reads as itself");
    return 0;
}

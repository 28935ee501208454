// Any command line, its arguments apart at each NUL byte, is read without harm: it is a
// command, help, the version, or bad input told in one line with status 2. A command written
// back as arguments, as it travels to a running Dormivo, reads as itself.
#include "Property.h"
#include "app/ProgramCommand.h"

#include <cstdint>

using namespace dormivo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QStringList arguments{QStringLiteral("dormivo")};
    if (!bytes.isEmpty())
        for (const QByteArray& argument : bytes.split('\0'))
            arguments << QString::fromUtf8(argument);
    const auto read = readArguments(arguments);
    if (const auto* exit = std::get_if<ArgumentsExit>(&read)) {
        require(exit->status == 0
                    ? !exit->out.isEmpty() && exit->err.isEmpty()
                    : exit->status == 2 && exit->out.isEmpty() &&
                          exit->err.startsWith(QStringLiteral("dormivo: ")) &&
                          exit->err.indexOf(QLatin1Char('\n')) == exit->err.size() - 1,
                "help and the version print, bad input says why in one line");
        return 0;
    }
    const auto& command = std::get<ProgramCommand>(read);
    require(readArguments(QStringList{QStringLiteral("dormivo")} + commandArguments(command)) ==
                read,
            "a command written as arguments reads as itself");
    return 0;
}

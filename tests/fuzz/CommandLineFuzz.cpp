// Any text splits without harm. A program path as Dormivo writes it (the path of an existing
// program, bare), or in double quotes, followed by arguments in double quotes, splits into
// exactly that program and those arguments. The splitter asks the file system whether a
// prefix of the line names a program file: only the call's own program is made in a folder of
// its own, so no other prefix does.
#include "ProgramCall.h"
#include "Property.h"
#include "registry/SplitCommandLine.h"

#include <cstdint>

using dormivo::registry::splitCommandLine;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    splitCommandLine(bytes);
    const ProgramCall call(bytes);
    if (!call.made())
        return 0;
    std::vector<std::string> expected{call.program};
    expected.insert(expected.end(), call.arguments.begin(), call.arguments.end());
    require(splitCommandLine(call.commandLine()) == expected,
            "a command line splits into its program and arguments");
    return 0;
}

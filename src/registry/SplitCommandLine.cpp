#include "registry/SplitCommandLine.h"

#include <filesystem>

namespace dormivo::registry {
namespace {

constexpr const char* kBlanks = " \t";

bool isProgramFile(const std::string& path) {
    using std::filesystem::perms;
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    return std::filesystem::is_regular_file(status) &&
           (status.permissions() & (perms::owner_exec | perms::group_exec | perms::others_exec)) !=
               perms::none;
}

} // namespace

std::vector<std::string> splitArguments(const std::string& line) {
    std::vector<std::string> arguments;
    std::string current;
    bool inQuotes = false;
    bool any = false;
    for (char c : line) {
        if (c == '"') {
            inQuotes = !inQuotes;
            any = true;
        } else if ((c == ' ' || c == '\t') && !inQuotes) {
            if (any)
                arguments.push_back(current);
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any)
        arguments.push_back(current);
    return arguments;
}

std::vector<std::string> splitCommandLine(const std::string& commandLine) {
    std::error_code error;
    // A file name may end in a blank: the line is tried as it stands before it is trimmed.
    if (std::filesystem::is_regular_file(commandLine, error))
        return {commandLine};
    const auto first = commandLine.find_first_not_of(kBlanks);
    if (first == std::string::npos)
        return {};
    const std::string line =
        commandLine.substr(first, commandLine.find_last_not_of(kBlanks) - first + 1);
    if (std::filesystem::is_regular_file(line, error))
        return {line};
    // The longest such prefix: a shorter one lies in a folder further up, where another user
    // may have planted a program (a blank in "/shared/my apps/tool" makes "/shared/my" one).
    if (line[0] != '"') {
        for (auto blank = line.rfind(' '); blank != std::string::npos && blank > 0;
             blank = line.rfind(' ', blank - 1)) {
            if (isProgramFile(line.substr(0, blank))) {
                auto arguments = splitArguments(line.substr(blank + 1));
                arguments.insert(arguments.begin(), line.substr(0, blank));
                return arguments;
            }
        }
    }
    return splitArguments(line);
}

} // namespace dormivo::registry

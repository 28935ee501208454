// A program path as Dormivo writes it (bare, or in double quotes) and arguments in double quotes
// split into exactly those; the splitter asks the file system which prefix names a program, and
// only the call's own program exists. The entry's Exec line, undone by the Desktop Entry rules,
// gives back the same (through nice when the path holds a '%'), and every key appears once.
#include "Property.h"
#include "registry/AutostartMirror.h"
#include "registry/SplitCommandLine.h"

#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

using namespace dormivo::registry;

namespace {

// A flag byte, then NUL-separated fields: the program, made for the call in a folder of our own,
// and its arguments (without double quotes, which the splitter cannot hold in one). Its command
// line as Dormivo writes it, bare, or quoted as a user may write it; each argument quoted.
struct ProgramCall {
    std::string program;
    std::vector<std::string> arguments;
    std::string line;
};

std::optional<ProgramCall> programCall(std::string_view bytes) {
    static const QTemporaryDir folder;
    std::vector<std::string> fields{""};
    for (const char c : bytes.substr(std::min<std::size_t>(bytes.size(), 1))) {
        if (c == '\0')
            fields.emplace_back();
        else if (c != '"' || fields.size() == 1)
            fields.back() += c;
    }
    const std::string& name = fields[0];
    if (bytes.empty() || name.empty() || name == "." || name == ".." || name.size() > 255 ||
        name.find('/') != std::string::npos)
        return std::nullopt;
    ProgramCall call{
        folder.path().toStdString() + "/" + name, {fields.begin() + 1, fields.end()}, {}};
    const int fd = ::open(call.program.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0700);
    if (fd < 0 || ::close(fd) != 0)
        return std::nullopt;
    const bool quote = (bytes[0] & 1) && call.program.find('"') == std::string::npos;
    call.line = quote ? '"' + call.program + '"' : call.program;
    for (const std::string& argument : call.arguments)
        call.line += " \"" + argument + '"';
    return call;
}

std::optional<std::string> unescaped(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            out += value[i];
            continue;
        }
        const std::size_t escape =
            ++i < value.size() ? std::string_view("sntr\\").find(value[i]) : std::string_view::npos;
        if (escape == std::string_view::npos)
            return std::nullopt;
        out += " \n\t\r\\"[escape];
    }
    return out;
}

// Quoting undone as the Desktop Entry rules say, then "%%" as '%'; whatever they refuse is nullopt.
std::optional<std::vector<std::string>> execArguments(std::string_view exec) {
    std::vector<std::string> arguments;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        if (exec[i] == ' ')
            continue;
        std::string argument;
        if (exec[i] == '"') {
            for (++i; i < exec.size() && exec[i] != '"'; ++i) {
                if (exec[i] == '`' || exec[i] == '$')
                    return std::nullopt; // left for a shell to expand
                if (exec[i] == '\\' &&
                    (++i == exec.size() || std::string_view("\"`$\\").find(exec[i]) == exec.npos))
                    return std::nullopt;
                argument += exec[i];
            }
            if (i == exec.size() || (i + 1 < exec.size() && exec[i + 1] != ' '))
                return std::nullopt;
        } else {
            for (; i < exec.size() && exec[i] != ' '; ++i) {
                if (std::string_view("\t\n\"'\\><~|&;$*?#()`").find(exec[i]) != exec.npos)
                    return std::nullopt;
                argument += exec[i];
            }
        }
        std::string expanded;
        for (std::size_t k = 0; k < argument.size(); ++k) {
            if (argument[k] == '%' && (++k == argument.size() || argument[k] != '%'))
                return std::nullopt;
            expanded += argument[k];
        }
        arguments.push_back(expanded);
    }
    return arguments;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    splitCommandLine(bytes);
    const auto call = programCall(bytes);
    if (!call)
        return 0;
    const std::string& line = call->line;
    auto stored = splitCommandLine(line);
    std::vector<std::string> expected{call->program};
    expected.insert(expected.end(), call->arguments.begin(), call->arguments.end());
    require(stored == expected, "a command line splits into its program and arguments");
    if (!stored.empty() && stored[0].find('%') != std::string::npos)
        stored.insert(stored.begin(), {"/usr/bin/nice", "-n", "0", "--"});
    // The command line stands in for the value's name as well, to try every character there.
    const std::string entry = AutostartMirror::desktopEntry(line, line);
    ::unlink(call->program.c_str());
    std::set<std::string> keys;
    std::optional<std::vector<std::string>> exec;
    std::size_t start = entry.find('\n') + 1;
    for (std::size_t end; (end = entry.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string_view entryLine = std::string_view(entry).substr(start, end - start);
        const std::size_t equals = entryLine.find('=');
        require(equals != entryLine.npos && keys.emplace(entryLine.substr(0, equals)).second,
                "every line of the entry is a key of its own");
        if (entryLine.starts_with("Exec="))
            if (const auto value = unescaped(entryLine.substr(equals + 1)))
                exec = execArguments(*value);
    }
    require(start == entry.size(), "the entry ends with a line end");
    require(exec == stored, "the Exec line gives back the stored program and arguments");
    return 0;
}

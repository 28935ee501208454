// Any text splits without harm. A program path as Dormivo writes it (the path of an existing
// program, bare), or in double quotes, followed by arguments in double quotes, splits into
// exactly that program and those arguments. The splitter asks the file system whether a
// prefix of the line names a program file: only the call's own program is made in a folder of
// its own, so no other prefix does.
// The Exec line of the autostart entry made from that line, undone by the Desktop Entry rules
// (the string escapes, then the quoting, then the field codes), gives back exactly that program
// and those arguments; a program whose path holds a '%' is started through nice. No line is
// added to the entry: every key appears once.
#include "Property.h"
#include "registry/AutostartMirror.h"
#include "registry/SplitCommandLine.h"

#include <QTemporaryDir>

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

// A program and its arguments from fuzz bytes: a flag byte, then fields separated by NUL bytes
// (no command line holds one). The first field names the program, a file made for the call
// in a folder of the process's own (Dormivo writes the paths of existing programs only) and
// removed with it. The splitter has no way to write a double quote inside an argument, so
// arguments are taken without theirs.
class ProgramCall {
public:
    explicit ProgramCall(std::string_view bytes) {
        if (bytes.empty())
            return;
        quoted_ = bytes[0] & 1;
        std::vector<std::string> fields{""};
        for (const char c : bytes.substr(1)) {
            if (c == '\0')
                fields.emplace_back();
            else if (c != '"' || fields.size() == 1)
                fields.back() += c;
        }
        const std::string& name = fields[0];
        if (name.empty() || name == "." || name == ".." || name.size() > 255 ||
            name.find('/') != std::string::npos)
            return;
        program = folder() + "/" + name;
        const int fd = ::open(program.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0700);
        made_ = fd >= 0 && ::close(fd) == 0;
        arguments.assign(fields.begin() + 1, fields.end());
    }
    ~ProgramCall() {
        if (made_)
            ::unlink(program.c_str());
    }

    bool made() const { return made_; }
    // The program's path as Dormivo writes it, bare, or in double quotes as a user may write
    // it (when it holds none); then each argument in double quotes.
    std::string commandLine() const {
        const bool quote = quoted_ && program.find('"') == std::string::npos;
        std::string line = quote ? '"' + program + '"' : program;
        for (const std::string& argument : arguments)
            line += " \"" + argument + '"';
        return line;
    }

    std::string program;
    std::vector<std::string> arguments;

private:
    static const std::string& folder() {
        static const QTemporaryDir made;
        static const std::string path = made.path().toStdString();
        return path;
    }

    bool quoted_ = false;
    bool made_ = false;
};

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

// Quoted arguments with their four escapes undone (a bare '`' or '$' is refused), unquoted ones
// free of reserved characters; then "%%" is a '%' and any other field code is refused.
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
    const ProgramCall call(bytes);
    if (!call.made())
        return 0;
    const std::string line = call.commandLine();
    auto stored = splitCommandLine(line);
    std::vector<std::string> expected{call.program};
    expected.insert(expected.end(), call.arguments.begin(), call.arguments.end());
    require(stored == expected, "a command line splits into its program and arguments");
    if (!stored.empty() && stored[0].find('%') != std::string::npos)
        stored.insert(stored.begin(), {"/usr/bin/nice", "-n", "0", "--"});
    // The command line stands in for the value's name as well, to try every character there.
    const std::string entry = AutostartMirror::desktopEntry(line, line);
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

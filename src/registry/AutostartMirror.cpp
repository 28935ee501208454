#include "registry/AutostartMirror.h"

#include "common/AtomicFile.h"
#include "registry/SplitCommandLine.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <optional>
#include <set>

namespace dormivo::registry {
namespace {

const std::string kPrefix = "dormivo-run-";
const std::string kSuffix = ".desktop";
// What the entry was made from, kept exactly: Exec is the desktop's reading of it.
const std::string kValueKey = "X-Dormivo-Value=";
const std::string kCommandKey = "X-Dormivo-Command=";

// Escapes for a Desktop Entry string value.
std::string entryString(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// Undoes entryString, as the Desktop Entry rules read a string value.
std::string entryText(std::string_view escaped) {
    std::string out;
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] != '\\' || i + 1 == escaped.size()) {
            out += escaped[i];
            continue;
        }
        switch (const char c = escaped[++i]) {
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 's':
            out += ' ';
            break;
        default:
            out += c;
        }
    }
    return out;
}

// The value of a key in an entry's text, or nothing.
std::optional<std::string> entryValue(const std::string& entry, const std::string& key) {
    for (std::size_t line = 0; line < entry.size();) {
        const std::size_t end = std::min(entry.find('\n', line), entry.size());
        if (entry.compare(line, key.size(), key) == 0)
            return entryText(
                std::string_view(entry).substr(line + key.size(), end - line - key.size()));
        line = end + 1;
    }
    return std::nullopt;
}

// One Exec argument, always quoted so that blanks and reserved characters stay literal;
// '%' is doubled so that it is never taken for a field code.
std::string execArgument(const std::string& argument) {
    std::string out = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            out += '\\';
        out += c;
        if (c == '%')
            out += '%';
    }
    return out + "\"";
}

// GLib looks the program up before it expands "%%", so it refuses an entry whose program path
// holds a '%'. Such a program is started through nice instead, with no change of priority,
// taking its path as an argument, where "%%" is expanded. (env would take a path holding
// '=' for a variable to set.)
constexpr const char* kStarter[] = {"/usr/bin/nice", "-n", "0", "--"};

// A command line that starts what an Exec line we wrote starts, for an entry written before
// entries kept their command line: its arguments unquoted, without the starter, and each
// quoted again. Nothing when the line is not one of ours or no command line can say it.
std::optional<std::string> commandLineFromExec(std::string_view exec) {
    std::vector<std::string> arguments;
    while (!exec.empty()) {
        if (exec[0] != '"')
            return std::nullopt;
        std::string argument;
        std::size_t i = 1;
        for (; i < exec.size() && exec[i] != '"'; ++i) {
            const bool escaped =
                exec[i] == '\\' || (exec[i] == '%' && i + 1 < exec.size() && exec[i + 1] == '%');
            if (escaped && ++i == exec.size())
                return std::nullopt;
            argument += exec[i];
        }
        if (i >= exec.size() || argument.find('"') != std::string::npos ||
            (i + 1 < exec.size() && exec[i + 1] != ' '))
            return std::nullopt;
        arguments.push_back(std::move(argument));
        exec.remove_prefix(std::min(i + 2, exec.size()));
    }
    auto program = arguments.begin();
    if (arguments.size() >= std::size(kStarter) &&
        std::equal(std::begin(kStarter), std::end(kStarter), program))
        program += std::size(kStarter);
    std::string line;
    for (auto argument = program; argument != arguments.end(); ++argument) {
        line += (line.empty() ? "\"" : " \"") + *argument;
        line += '"';
    }
    return line.empty() ? std::nullopt : std::optional(line);
}

// The command line a value holds, or nothing when it is not text.
std::string commandLineOf(const HiveValue* value) {
    if (!value || value->type != REG_SZ)
        return {};
    const std::string text(value->data.begin(), value->data.end());
    return text.substr(0, text.find('\0'));
}

} // namespace

std::string AutostartMirror::fileNameFor(const std::string& valueName) {
    // Value names ignore case, so the file name does too; anything but a letter or a digit
    // is spelled out, so two names never share a file.
    std::string name = kPrefix;
    for (unsigned char c : foldCase(valueName)) {
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
            name += static_cast<char>(c);
        } else {
            char code[4];
            std::snprintf(code, sizeof code, "_%02x", c);
            name += code;
        }
    }
    return name + kSuffix;
}

std::string AutostartMirror::desktopEntry(const std::string& valueName,
                                          const std::string& commandLine) {
    auto arguments = splitCommandLine(commandLine);
    if (!arguments.empty() && arguments[0].find('%') != std::string::npos)
        arguments.insert(arguments.begin(), std::begin(kStarter), std::end(kStarter));
    std::string exec;
    for (const auto& argument : arguments) {
        if (!exec.empty())
            exec += ' ';
        exec += execArgument(argument);
    }
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" +
           entryString(valueName) +
           "\n"
           "Comment=Started at login by Dormivo\n" +
           std::string(!arguments.empty() && arguments[0].ends_with("/dormivo") ? "Icon=dormivo\n"
                                                                                : "") +
           "Exec=" + entryString(exec) +
           "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n" +
           kValueKey + entryString(valueName) + "\n" + kCommandKey + entryString(commandLine) +
           "\n";
}

void AutostartMirror::valueChanged(const HiveKey& key, const std::string& valueName) const {
    if (&key != hive_.findKey(HKEY_LOCAL_MACHINE, kRunKey))
        return;
    const std::string commandLine = commandLineOf(key.value(valueName));
    const auto file = folder_ / fileNameFor(valueName);
    std::error_code error;
    if (splitCommandLine(commandLine).empty()) {
        std::filesystem::remove(file, error);
        return;
    }
    const std::string entry = desktopEntry(valueName, commandLine);
    if (readFile(file) != entry)
        writeFileAtomically(file, entry, FileAccess::EveryoneReads);
}

void AutostartMirror::sync() const {
    if (hive_.unreadable())
        return;
    std::set<std::string> wanted;
    if (const HiveKey* run = hive_.findKey(HKEY_LOCAL_MACHINE, kRunKey)) {
        for (const HiveValue& value : run->values) {
            const std::string commandLine = commandLineOf(&value);
            if (splitCommandLine(commandLine).empty())
                continue;
            const auto file = folder_ / fileNameFor(value.name);
            wanted.insert(file.filename().string());
            std::error_code error;
            if (!std::filesystem::exists(std::filesystem::symlink_status(file, error)))
                writeFileAtomically(file, desktopEntry(value.name, commandLine),
                                    FileAccess::EveryoneReads);
        }
    }
    std::vector<std::filesystem::path> unwanted;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder_, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name.starts_with(kPrefix) && name.ends_with(kSuffix) && !wanted.contains(name))
            unwanted.push_back(entry->path());
    }
    for (const auto& file : unwanted)
        std::filesystem::remove(file, error);
}

std::vector<std::pair<std::string, std::string>> AutostartMirror::recordedValues() const {
    std::vector<std::pair<std::string, std::string>> values;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder_, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix))
            continue;
        const std::string text = readFile(entry->path()).value_or("");
        auto valueName = entryValue(text, kValueKey);
        if (!valueName)
            valueName = entryValue(text, "Name=");
        auto commandLine = entryValue(text, kCommandKey);
        if (const auto exec = entryValue(text, "Exec="); !commandLine && exec)
            commandLine = commandLineFromExec(*exec);
        if (valueName && commandLine && fileNameFor(*valueName) == name)
            values.emplace_back(std::move(*valueName), std::move(*commandLine));
    }
    return values;
}

} // namespace dormivo::registry

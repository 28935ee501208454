#include "AutostartMirror.h"

#include "TextFile.h"

#include <cstdio>
#include <cstdlib>
#include <map>

namespace dormivo::registry {
namespace {

const std::string kPrefix = "dormivo-run-";
const std::string kSuffix = ".desktop";

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

std::vector<std::string> AutostartMirror::splitCommandLine(const std::string& commandLine) {
    std::error_code error;
    if (std::filesystem::is_regular_file(commandLine, error))
        return {commandLine};
    std::vector<std::string> arguments;
    std::string current;
    bool inQuotes = false;
    bool any = false;
    for (char c : commandLine) {
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

std::string AutostartMirror::desktopEntry(const std::string& valueName,
                                          const std::string& commandLine) {
    std::string exec;
    for (const auto& argument : splitCommandLine(commandLine))
        exec += (exec.empty() ? "" : " ") + execArgument(argument);
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" +
           entryString(valueName) +
           "\n"
           "Comment=Started at login by Dormivo\n"
           "Exec=" +
           entryString(exec) +
           "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

void AutostartMirror::sync() const {
    std::map<std::string, std::string> wanted;
    if (const HiveKey* run = hive_.findKey(HKEY_LOCAL_MACHINE, kRunKey))
        for (const auto& value : run->values)
            if (value.type == REG_SZ) {
                std::string text(value.data.begin(), value.data.end());
                text = text.substr(0, text.find('\0'));
                if (!splitCommandLine(text).empty())
                    wanted[fileNameFor(value.name)] = desktopEntry(value.name, text);
            }

    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(kPrefix) && name.ends_with(kSuffix) && !wanted.contains(name))
            std::filesystem::remove(entry.path(), error);
    }
    for (const auto& [name, text] : wanted)
        if (readTextFile(folder_ / name) != text)
            writeTextFileAtomically(folder_ / name, text, FileAccess::EveryoneReads);
}

std::filesystem::path xdgConfigHome() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/')
        return config;
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home ? home : ".") / ".config";
}

} // namespace dormivo::registry

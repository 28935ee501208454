#include "AutostartMirror.h"

#include "CommandLine.h"
#include "TextFile.h"

#include <cstdio>
#include <cstdlib>

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

void AutostartMirror::valueChanged(const HiveKey& key, const std::string& valueName) const {
    if (&key != hive_.findKey(HKEY_LOCAL_MACHINE, kRunKey))
        return;
    std::string commandLine;
    if (const HiveValue* value = key.value(valueName); value && value->type == REG_SZ) {
        commandLine.assign(value->data.begin(), value->data.end());
        commandLine = commandLine.substr(0, commandLine.find('\0'));
    }
    const auto file = folder_ / fileNameFor(valueName);
    std::error_code error;
    if (splitCommandLine(commandLine).empty()) {
        std::filesystem::remove(file, error);
        return;
    }
    const std::string entry = desktopEntry(valueName, commandLine);
    if (readTextFile(file) != entry)
        writeTextFileAtomically(file, entry, FileAccess::EveryoneReads);
}

std::filesystem::path xdgConfigHome() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/')
        return config;
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home ? home : ".") / ".config";
}

} // namespace dormivo::registry

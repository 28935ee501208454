#pragma once

#include "HiveRegistry.h"
#include "Registry.h"

#include <filesystem>
#include <string>
#include <vector>

namespace dormivo::registry {

// Gives the Run key its effect on a Linux desktop: every text value under the hive's
// HKEY_LOCAL_MACHINE Run key becomes an XDG autostart entry in the given folder, one file
// per value; entries of values that are gone are removed. Files of other programs are never
// touched: ours all start with "dormivo-run-".
class AutostartMirror {
public:
    AutostartMirror(const HiveRegistry& hive, std::filesystem::path folder)
        : hive_(hive), folder_(std::move(folder)) {}

    // Makes the folder match the Run key.
    void sync() const;

    static std::string fileNameFor(const std::string& valueName);
    static std::string desktopEntry(const std::string& valueName, const std::string& commandLine);
    // A command line as program and arguments: a line that names an existing file is that
    // file alone; otherwise blanks separate and double quotes group.
    static std::vector<std::string> splitCommandLine(const std::string& commandLine);

private:
    const HiveRegistry& hive_;
    std::filesystem::path folder_;
};

// $XDG_CONFIG_HOME, or ~/.config when it is unset or not absolute.
std::filesystem::path xdgConfigHome();

} // namespace dormivo::registry

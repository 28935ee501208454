#pragma once

#include "HiveRegistry.h"
#include "Registry.h"

#include <filesystem>
#include <string>

namespace dormivo::registry {

// Gives the Run key its effect on a Linux desktop: every text value set under the hive's
// HKEY_LOCAL_MACHINE Run key becomes an XDG autostart entry in the given folder, one file
// per value, and the entry goes when its value is deleted or stops being a command line.
// Only such a change removes an entry: the folder is never swept, so a hive that failed to
// load, or whose Run key is shared with other programs, costs nobody an entry. Files of other
// programs are never touched: ours all start with "dormivo-run-".
class AutostartMirror {
public:
    AutostartMirror(const HiveRegistry& hive, std::filesystem::path folder)
        : hive_(hive), folder_(std::move(folder)) {}

    // Brings the entry of one value in line with it, after a change to it in that key.
    void valueChanged(const HiveKey& key, const std::string& valueName) const;

    static std::string fileNameFor(const std::string& valueName);
    static std::string desktopEntry(const std::string& valueName, const std::string& commandLine);

private:
    const HiveRegistry& hive_;
    std::filesystem::path folder_;
};

// $XDG_CONFIG_HOME, or ~/.config when it is unset or not absolute.
std::filesystem::path xdgConfigHome();

} // namespace dormivo::registry

#pragma once

#include "registry/HiveRegistry.h"
#include "registry/Registry.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace dormivo::registry {

// Gives the Run key its effect on a Linux desktop: every text value under the hive's
// HKEY_LOCAL_MACHINE Run key that is a command line has an XDG autostart entry in the given
// folder, one file per value, and no entry of ours outlives its value: nothing may start at
// login that the registry no longer asks for. Files of other programs are never touched:
// ours all start with "dormivo-run-".
class AutostartMirror {
public:
    AutostartMirror(const HiveRegistry& hive, std::filesystem::path folder)
        : hive_(hive), folder_(std::move(folder)) {}

    // Brings the entry of one value in line with it, after a change to it in that key (or
    // after it was found missing).
    void valueChanged(const HiveKey& key, const std::string& valueName) const;
    // Brings the whole folder in line with the Run key, once the hive was read: removes our
    // entries whose value is gone and writes those that are missing (an entry that is there
    // is left as the user or the desktop may have edited it). Does nothing when the hive's
    // file could not be read, since what it holds is then unknown.
    void sync() const;

    // The Run values our entries in the folder were written for, as (name, command line):
    // what brings them back when the hive was lost. Entries of others, and ours that lack
    // the record, give none.
    std::vector<std::pair<std::string, std::string>> recordedValues() const;

    static std::string fileNameFor(const std::string& valueName);
    static std::string desktopEntry(const std::string& valueName, const std::string& commandLine);

private:
    const HiveRegistry& hive_;
    std::filesystem::path folder_;
};

} // namespace dormivo::registry

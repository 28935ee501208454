#pragma once

#include "store/Connection.h"
#include "store/Value.h"

#include <optional>
#include <string>
#include <vector>

namespace dormivo {

// The settings file's name in the application folder and its password.
inline constexpr const char* kDatabaseFileName = "info.velkaro";
inline constexpr const char* kDatabasePassword = "quorndale482";

struct ActionEntry {
    std::string name;    // Cname: what the action list shows
    std::string command; // Command: relative to the application folder
};

// The stored countdown settings as they come back; each may be null or unusable, and the
// main window decides field by field what it can apply.
struct StoredSettings {
    Value type;
    Value period;
    Value action;
    Value active;
    Value status;
};

// The two single-row tables that keep countdown settings: "setting", the last state, and
// "tmpsetting", the state wanted at the next start.
enum class SettingsTable { Current, NextStart };

struct StartupOptions {
    bool runAtLogin = false; // run = "1"
    bool started = false;    // Status = "Started"
};

// Every operation the program performs on its settings file, each one statement text and one
// short-lived record set over the connection opened once at start-up.
class SettingsStore {
public:
    // A store whose file is still being opened on another thread; the opened store is moved
    // into it before its first use, so that the main window can be built meanwhile.
    SettingsStore() = default;
    explicit SettingsStore(Connection connection) : connection_(std::move(connection)) {}

    static SettingsStore openFile(const std::string& path);

    std::vector<ActionEntry> loadActionList();
    void startupCopy();
    // The countdown settings kept in one of the single-row tables.
    std::optional<StoredSettings> loadSettings(SettingsTable table = SettingsTable::Current);
    void saveCountdownSettings(const std::string& periodText, int unitIndex, int actionIndex);
    bool hasPrograms();
    // The action row named so, or none; the name is bound, never pasted into the query.
    std::optional<ActionEntry> lookupAction(const std::string& name);
    std::vector<std::string> loadPrograms();
    void saveProgramsList(const std::vector<std::string>& programs);
    void saveProgramsSwitch(bool active);
    // The list and its switch together, as the programs dialog confirms them: both are
    // stored, or on failure neither changes.
    void savePrograms(const std::vector<std::string>& programs, bool active);
    StartupOptions loadStartupOptions();
    void saveStartupOptions(const StartupOptions& options, int period, int unitIndex,
                            int actionIndex, const std::string& programsActive);

    Connection& connection() { return connection_; }
    // The settings file, for telling the user which file failed.
    std::string file() const { return connection_.file(); }

private:
    Connection connection_;
};

} // namespace dormivo

#include "store/SettingsStore.h"

#include "store/Recordset.h"

namespace dormivo {
namespace {

std::string textOf(const Value& value) {
    return value.text().value_or("");
}

// The single-row tables are read and written through their first row; a writer that finds
// the table empty adds that row first.
void firstRowForWriting(Recordset& rows) {
    if (rows.eof())
        rows.addNew();
}

} // namespace

SettingsStore SettingsStore::openFile(const std::string& path) {
    return SettingsStore(Connection::open(path, kDatabasePassword));
}

std::vector<ActionEntry> SettingsStore::loadActionList() {
    std::vector<ActionEntry> actions;
    for (Recordset rows(connection_, "select * from actions"); !rows.eof(); rows.moveNext())
        actions.push_back({textOf(rows.field("Cname")), textOf(rows.field("Command"))});
    return actions;
}

void SettingsStore::startupCopy() {
    Recordset setting(connection_, "select * from setting");
    Recordset tmpsetting(connection_, "select * from tmpsetting");
    if (tmpsetting.eof())
        return;
    firstRowForWriting(setting);
    if (tmpsetting.field("Status").text() == "Started") {
        for (const char* column : {"Action", "period", "Type", "run", "active", "Status"})
            setting.setField(column, tmpsetting.field(column));
    } else {
        setting.setField("Status", tmpsetting.field("Status"));
    }
    setting.update();
}

std::optional<StoredSettings> SettingsStore::loadSettings(SettingsTable table) {
    Recordset setting(connection_, table == SettingsTable::Current ? "select * from setting"
                                                                   : "select * from tmpsetting");
    if (setting.eof())
        return std::nullopt;
    return StoredSettings{setting.field("Type"), setting.field("period"), setting.field("Action"),
                          setting.field("Active"), setting.field("Status")};
}

void SettingsStore::saveCountdownSettings(const std::string& periodText, int unitIndex,
                                          int actionIndex) {
    Recordset setting(connection_, "select * from setting");
    firstRowForWriting(setting);
    setting.setField("period", periodText);
    setting.setField("Type", unitIndex);
    setting.setField("Action", actionIndex);
    setting.update();
}

bool SettingsStore::hasPrograms() {
    return !Recordset(connection_, "select * from programs").eof();
}

std::optional<ActionEntry> SettingsStore::lookupAction(const std::string& name) {
    Recordset rows(connection_, "select * from actions where Cname=?", {Value(name)});
    if (rows.eof())
        return std::nullopt;
    return ActionEntry{textOf(rows.field("Cname")), textOf(rows.field("Command"))};
}

std::vector<std::string> SettingsStore::loadPrograms() {
    std::vector<std::string> programs;
    for (Recordset rows(connection_, "select * from programs"); !rows.eof(); rows.moveNext())
        programs.push_back(textOf(rows.field("programName")));
    return programs;
}

void SettingsStore::saveProgramsList(const std::vector<std::string>& programs) {
    // A failure half-way must not leave the list emptied.
    connection_.asOneChange([&] {
        connection_.execute("delete * from programs");
        Recordset rows(connection_, "select * from programs");
        for (const auto& program : programs) {
            rows.addNew();
            rows.setField("programName", program);
        }
        if (!programs.empty())
            rows.update();
    });
}

void SettingsStore::saveProgramsSwitch(bool active) {
    Recordset setting(connection_, "select * from setting");
    firstRowForWriting(setting);
    setting.setField("active", active ? 1 : 0);
    setting.update();
}

void SettingsStore::savePrograms(const std::vector<std::string>& programs, bool active) {
    connection_.asOneChange([&] {
        saveProgramsList(programs);
        saveProgramsSwitch(active);
    });
}

StartupOptions SettingsStore::loadStartupOptions() {
    Recordset tmpsetting(connection_, "select * from tmpsetting");
    if (tmpsetting.eof())
        return {};
    return {tmpsetting.field("run").text() == "1", tmpsetting.field("Status").text() == "Started"};
}

void SettingsStore::saveStartupOptions(const StartupOptions& options, int period, int unitIndex,
                                       int actionIndex, const std::string& programsActive) {
    Recordset tmpsetting(connection_, "select * from tmpsetting");
    firstRowForWriting(tmpsetting);
    tmpsetting.setField("run", options.runAtLogin ? "1" : "0");
    tmpsetting.setField("Status", options.started ? "Started" : "Stoped");
    tmpsetting.setField("period", period);
    tmpsetting.setField("Type", unitIndex);
    tmpsetting.setField("Action", actionIndex);
    tmpsetting.setField("active", programsActive);
    tmpsetting.update();
}

} // namespace dormivo

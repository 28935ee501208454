#include "store/SettingsStore.h"
#include "support/TempDatabase.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

using namespace dormivo;

namespace {

std::string settingRow(test::TempDatabase& db) {
    return db.scalar("SELECT quote(period)||'|'||quote(Type)||'|'||quote(Action)||'|'||"
                     "quote(active)||'|'||quote(Status)||'|'||quote(run) FROM setting");
}

} // namespace

TEST(SettingsStore, DefaultFileListsTheActionsInOrder) {
    test::TempDatabase db;
    std::string listed;
    for (const auto& action : db.store().loadActionList())
        listed += action.name + "=" + action.command + ";";
    EXPECT_EQ(listed, "Shut Down=dormivo-power shutdown;Restart=dormivo-power restart;"
                      "Log Off=dormivo-power logoff;Stand By=dormivo-power standby;"
                      "Hibernate=dormivo-power hibernate;Lauch Program=;");
    EXPECT_EQ(
        db.scalar("SELECT (SELECT count(*) FROM setting) + (SELECT count(*) FROM tmpsetting)"),
        "0");
}

TEST(SettingsStore, StartupCopy) {
    struct Case {
        const char* what;
        const char* setting;    // rows to put into setting first
        const char* tmpsetting; // rows to put into tmpsetting first
        const char* expected;   // the first setting row afterwards
        const char* periods;    // of all setting rows afterwards
    };
    const Case cases[] = {
        {"no next-start row: setting untouched", "('7', 0, 3, '1', 'Stoped', '0')", nullptr,
         "'7'|0|3|'1'|'Stoped'|'0'", "7"},
        {"Stoped copies only Status", "('7', 0, 3, '1', 'Started', '0')",
         "('1', 'Stoped', 10, 1, 2, '0')", "'7'|0|3|'1'|'Stoped'|'0'", "7"},
        {"Started copies all six", "('7', 0, 3, '0', 'Stoped', '0')",
         "('1', 'Started', 10, 1, 2, '1')", "'10'|1|2|'1'|'Started'|'1'", "10"},
        {"no setting row: one is added", nullptr, "('0', 'Started', 4, 0, 5, '0')",
         "'4'|0|5|'0'|'Started'|'0'", "4"},
        {"two setting rows: only the first changes",
         "('7', 0, 3, '1', 'Stoped', '0'), ('8', 1, 1, '0', 'Stoped', '0')",
         "('1', 'Started', 10, 1, 2, '1')", "'10'|1|2|'1'|'Started'|'1'", "10,8"},
    };
    for (const auto& c : cases) {
        test::TempDatabase db;
        if (c.setting)
            db.exec(std::string("INSERT INTO setting VALUES ") + c.setting);
        if (c.tmpsetting)
            db.exec(std::string("INSERT INTO tmpsetting VALUES ") + c.tmpsetting);
        db.store().startupCopy();
        EXPECT_EQ(settingRow(db), c.expected) << c.what;
        EXPECT_EQ(db.scalar("SELECT group_concat(period) FROM setting"), c.periods) << c.what;
    }
}

TEST(SettingsStore, LoadSettingsReadsTheFirstRowAsStored) {
    test::TempDatabase db;
    EXPECT_FALSE(db.store().loadSettings());
    db.exec("INSERT INTO setting VALUES (12, 1, 4, 1, 'Started', '1'), ('9', 0, 0, 0, 'x', '0')");
    const auto stored = db.store().loadSettings();
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->period.text().value_or("") + stored->active.text().value_or("") +
                  stored->status.text().value_or(""),
              "121Started");
    EXPECT_EQ(stored->type.toInt16().value_or(-1) * 10 + stored->action.toInt16().value_or(-1), 14);
}

TEST(SettingsStore, SavingCountdownAndSwitchWritesTheFirstRowOrAddsOne) {
    test::TempDatabase db;
    db.store().saveProgramsSwitch(true);
    EXPECT_EQ(settingRow(db), "NULL|NULL|NULL|'1'|NULL|NULL");
    db.store().saveCountdownSettings("1.5", 1, 5);
    EXPECT_EQ(settingRow(db), "'1.5'|1|5|'1'|NULL|NULL");
    db.store().saveProgramsSwitch(false);
    EXPECT_EQ(settingRow(db), "'1.5'|1|5|'0'|NULL|NULL");
    EXPECT_EQ(db.scalar("SELECT count(*) FROM setting"), "1");
}

TEST(SettingsStore, ProgramsListKeepsListOrderAndDuplicates) {
    test::TempDatabase db;
    EXPECT_FALSE(db.store().hasPrograms());
    const std::vector<std::string> three{"/usr/bin/b", "/opt/my apps/a", "/usr/bin/b"};
    db.store().saveProgramsList(three);
    EXPECT_TRUE(db.store().hasPrograms());
    EXPECT_EQ(db.store().loadPrograms(), three);
    db.store().saveProgramsList({"/bin/one"});
    EXPECT_EQ(db.store().loadPrograms(), std::vector<std::string>{"/bin/one"});
    db.store().saveProgramsList({});
    EXPECT_FALSE(db.store().hasPrograms());
}

TEST(SettingsStore, ActionLookupBindsTheName) {
    test::TempDatabase db;
    db.exec("INSERT INTO actions VALUES ('Ann''s nap', 'dormivo-power standby')");
    struct Case {
        const char* name;
        std::optional<std::string> command;
    };
    const Case cases[] = {
        {"Restart", "dormivo-power restart"},   {"Lauch Program", ""},
        {"Ann's nap", "dormivo-power standby"}, {"restart", std::nullopt},
        {"x' OR '1'='1", std::nullopt},         {"", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto found = db.store().lookupAction(c.name);
        EXPECT_EQ(found ? std::optional(found->command) : std::nullopt, c.command) << c.name;
    }
}

TEST(SettingsStore, StartupOptionsRoundTrip) {
    test::TempDatabase db;
    EXPECT_FALSE(db.store().loadStartupOptions().runAtLogin);
    db.store().saveStartupOptions({true, true}, 10, 1, 2, "1");
    db.store().saveStartupOptions({true, false}, 30, 0, 5, "0");
    EXPECT_EQ(db.scalar("SELECT group_concat(run||Status||period||Type||Action||active) FROM "
                        "tmpsetting"),
              "1Stoped30050");
    const auto options = db.store().loadStartupOptions();
    EXPECT_TRUE(options.runAtLogin && !options.started);
}

TEST(SettingsStore, AShortLockByAnotherProgramIsWaitedOut) {
    test::TempDatabase db;
    std::promise<void> locked;
    std::thread other([&db, &locked] {
        SettingsStore holder = SettingsStore::openFile(db.path());
        holder.connection().execute("BEGIN IMMEDIATE");
        locked.set_value();
        // Held a moment, as another program's save would be, then let go.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        holder.connection().execute("COMMIT");
    });
    locked.get_future().wait();
    EXPECT_NO_THROW(db.store().saveCountdownSettings("7", 0, 1));
    other.join();
    EXPECT_EQ(db.scalar("SELECT period FROM setting"), "7");
}

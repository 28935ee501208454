#include "store/SettingsStore.h"
#include "store/Connection.h"
#include "support/TempDatabase.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <future>
#include <thread>

using namespace dormivo;

// The start-up table of the main window covers the copy of each Status; these are the rows.
TEST(SettingsStore, StartupCopyChangesOnlyTheFirstSettingRowOrAddsOne) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "'4'|0|5|'0'|'Started'|'0';"},
        {"('7', 0, 3, '1', 'Stoped', '0'), ('8', 1, 1, '0', 'Stoped', '0')",
         "'4'|0|5|'0'|'Started'|'0';'8'|1|1|'0'|'Stoped'|'0';"},
    };
    for (const auto& [setting, expected] : cases) {
        test::TempDatabase db;
        if (*setting)
            db.exec(std::string("INSERT INTO setting VALUES ") + setting);
        db.exec("INSERT INTO tmpsetting VALUES ('0', 'Started', 4, 0, 5, '0')");
        db.store().startupCopy();
        EXPECT_EQ(db.scalar("SELECT group_concat(quote(period)||'|'||quote(Type)||'|'||"
                            "quote(Action)||'|'||quote(active)||'|'||quote(Status)||'|'||"
                            "quote(run)||';', '') FROM setting"),
                  expected);
    }
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

TEST(Connection, TheFileIsUnreadableWithoutThePassword) {
    test::TempDatabase db;
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open_v2(db.path().c_str(), &raw, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    EXPECT_NE(sqlite3_exec(raw, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(raw);
}

// SQLCipher 4 reads the version 3 files Dormivo has always written only when told to.
TEST(Connection, SQLCipher4AndLaterAreToldToUseTheVersion3Format) {
    const std::pair<const char*, bool> cases[] = {
        {"3.4.1", false}, {"4.0.0", true}, {"4.6.1 community", true},
        {"10.2", true},   {"", false},     {"community", false},
    };
    for (const auto& [version, told] : cases)
        EXPECT_EQ(needsVersion3Format(version), told) << version;
}

#include "store/SettingsStore.h"
#include "store/Connection.h"
#include "support/TempDatabase.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

using namespace dormivo;

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

// SQLCipher 4 reads the version 3 files Dormivo has always written only when told to.
TEST(Connection, SQLCipher4AndLaterAreToldToUseTheVersion3Format) {
    const std::pair<const char*, bool> cases[] = {
        {"3.4.1", false}, {"4.0.0", true}, {"4.6.1 community", true},
        {"10.2", true},   {"", false},     {"community", false},
    };
    for (const auto& [version, told] : cases)
        EXPECT_EQ(needsVersion3Format(version), told) << version;
}

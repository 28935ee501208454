#include "store/Connection.h"
#include "support/TempDatabase.h"

#include <gtest/gtest.h>

using namespace dormivo;

// Another program's save holds the file a moment; ours waits for it rather than fail.
TEST(SettingsStore, AShortLockByAnotherProgramIsWaitedOut) {
    test::TempDatabase db;
    EXPECT_GE(std::stoi(db.scalar("PRAGMA busy_timeout")), 1000);
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

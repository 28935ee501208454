#include "store/Connection.h"
#include "store/SettingsStore.h"
#include "store/StoreError.h"
#include "support/TempDatabase.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace dormivo;

namespace {

QByteArray contents(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(Connection, FailsWithTheEngineMessageAndLeavesTheFileAlone) {
    test::TempDatabase db;
    QTemporaryDir dir;
    const std::string text = (dir.path() + "/text.velkaro").toStdString();
    const std::string missing = (dir.path() + "/none.velkaro").toStdString();
    QFile file(QString::fromStdString(text));
    file.open(QIODevice::WriteOnly);
    file.write("this is not a database, just some words in a file of the right name....");
    file.close();

    const std::tuple<std::string, std::string, std::string> cases[] = {
        {db.path(), "quorndale483", "file is encrypted or is not a database"},
        {missing, kDatabasePassword, "unable to open database file"},
        {text, kDatabasePassword, "file is encrypted or is not a database"},
    };
    for (const auto& [path, password, message] : cases) {
        const QByteArray before = contents(path);
        try {
            Connection::open(path, password);
            ADD_FAILURE() << path << " opened";
        } catch (const StoreError& error) {
            EXPECT_EQ(error.what(), message) << path;
        }
        EXPECT_EQ(contents(path), before) << path;
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(missing)));
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

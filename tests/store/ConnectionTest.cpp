#include "Connection.h"
#include "SettingsStore.h"
#include "StoreError.h"
#include "TempDatabase.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace dormivo;

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

std::string openError(const std::string& path, const std::string& password) {
    try {
        Connection::open(path, password);
    } catch (const StoreError& error) {
        return error.what();
    }
    return "";
}

} // namespace

TEST(Connection, FailsWithTheEngineMessageAndLeavesTheFileAlone) {
    test::TempDatabase db;
    QTemporaryDir dir;
    const QString text = dir.path() + "/text.velkaro";
    QFile file(text);
    file.open(QIODevice::WriteOnly);
    file.write("this is not a database, just some words in a file of the right name....");
    file.close();

    struct Case {
        const char* what;
        std::string path;
        std::string password;
        const char* message;
    };
    const Case cases[] = {
        {"wrong password", db.path(), "quorndale483", "file is encrypted or is not a database"},
        {"missing file", (dir.path() + "/none.velkaro").toStdString(), kDatabasePassword,
         "unable to open database file"},
        {"not a database", text.toStdString(), kDatabasePassword,
         "file is encrypted or is not a database"},
    };
    for (const auto& c : cases) {
        const QByteArray before = contents(QString::fromStdString(c.path));
        EXPECT_EQ(openError(c.path, c.password), c.message) << c.what;
        EXPECT_EQ(contents(QString::fromStdString(c.path)), before) << c.what;
    }
    EXPECT_FALSE(QFile::exists(dir.path() + "/none.velkaro"));
}

TEST(Connection, TheFileIsUnreadableWithoutThePassword) {
    test::TempDatabase db;
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open_v2(db.path().c_str(), &raw, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    EXPECT_NE(sqlite3_exec(raw, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(raw);
}

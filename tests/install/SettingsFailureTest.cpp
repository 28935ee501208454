#include "SettingsFailure.h"
#include "Connection.h"
#include "SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <gtest/gtest.h>

using namespace dormivo;

namespace {

struct FailureCase {
    const char* name;
    std::function<void(const std::string& path)> prepare;
    std::function<void(const std::string& path)> use;
    const char* problem;
};

class SettingsFailureTest : public testing::TestWithParam<FailureCase> {};

// The engine's real errors, so that the plain words follow what SQLCipher actually reports.
TEST_P(SettingsFailureTest, NamesTheFileTheProblemAndTheEngineText) {
    const FailureCase& c = GetParam();
    QTemporaryDir dir;
    const QString file = QDir(dir.path()).filePath(QStringLiteral("info.velkaro"));
    c.prepare(file.toStdString());
    try {
        c.use(file.toStdString());
        FAIL() << "the settings file opened";
    } catch (const StoreError& error) {
        const QString message = describeSettingsFailure(file, error);
        EXPECT_TRUE(message.contains(file));
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.problem))) << message.toStdString();
        EXPECT_TRUE(message.endsWith(QStringLiteral("(%1)").arg(error.what())));
    }
}

void openOnly(const std::string& path) {
    SettingsStore::openFile(path);
}

void writeBytes(const std::string& path, const QByteArray& bytes) {
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, SettingsFailureTest, testing::Values(
    FailureCase{"Missing", [](const std::string&) {}, openOnly, "The file is missing."},
    FailureCase{"NotOurs",
                [](const std::string& p) { writeBytes(p, QByteArray(4096, 'x')); }, openOnly,
                "not Dormivo's settings file, or it was saved with a different password"},
    FailureCase{"WrongPassword",
                [](const std::string& p) { Connection::create(p, "another").execute("CREATE TABLE t (x)"); },
                openOnly, "not Dormivo's settings file, or it was saved with a different password"},
    FailureCase{"TableMissing",
                [](const std::string& p) { Connection::create(p, kDatabasePassword); },
                [](const std::string& p) { SettingsStore::openFile(p).loadSettings(); },
                "lacks a table"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

} // namespace

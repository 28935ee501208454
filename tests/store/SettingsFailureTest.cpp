#include "store/SettingsFailure.h"
#include "store/Connection.h"
#include "store/SettingsStore.h"

#include <QFile>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>

using namespace dormivo;

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
}

} // namespace

// The engine's real errors, so that the plain words follow what SQLCipher actually reports (a
// file that lacks a table is the installed program's case). A file that cannot be used is left
// as it was, and a missing one is not made.
TEST(SettingsFailure, NamesTheFileTheProblemAndTheEngineTextAndLeavesTheFileAlone) {
    using Step = std::function<void(const std::string&)>;
    const Step open = [](const std::string& path) { SettingsStore::openFile(path); };
    const Step withTable = [](const std::string& path) {
        Connection::create(path, kDatabasePassword).execute("CREATE TABLE t (x)");
    };
    const std::string notOurs =
        "not Dormivo's settings file, or it was saved with a different password";
    const std::tuple<Step, Step, std::string> cases[] = {
        {[](const std::string&) {}, open, "The file is missing."},
        {[](const std::string& p) { std::ofstream(p) << std::string(4096, 'x'); }, open, notOurs},
        {[](const std::string& p) {
             Connection::create(p, "another").execute("CREATE TABLE t (x)");
         },
         open, notOurs},
        {withTable,
         [](const std::string& p) {
             SettingsStore store = SettingsStore::openFile(p);
             std::filesystem::remove(p);
             store.connection().execute("INSERT INTO t VALUES (1)");
         },
         "deleted or moved away while Dormivo was running"},
    };
    for (const auto& [prepare, use, problem] : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath("info.velkaro");
        const std::string file = path.toStdString();
        prepare(file);
        const QByteArray before = contents(path);
        try {
            use(file);
            ADD_FAILURE() << "the settings file worked";
        } catch (const StoreError& error) {
            const std::string message = describeSettingsFailure(file, error);
            EXPECT_TRUE(message.find(file) != std::string::npos &&
                        message.find(problem) != std::string::npos &&
                        message.ends_with("(" + std::string(error.what()) + ")"))
                << message;
        }
        if (QFile::exists(path)) { // but where the case took it away
            EXPECT_EQ(contents(path), before) << problem;
        }
    }
}

#include "SettingsFailure.h"
#include "Connection.h"
#include "SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <gtest/gtest.h>

using namespace dormivo;

// The engine's real errors, so that the plain words follow what SQLCipher actually reports.
TEST(SettingsFailure, NamesTheFileTheProblemAndTheEngineText) {
    const auto open = [](const std::string& path) { SettingsStore::openFile(path); };
    const QString notOurs =
        "not Dormivo's settings file, or it was saved with a different password";
    const std::tuple<std::function<void(const std::string&)>,
                     std::function<void(const std::string&)>, QString>
        cases[] = {
            {[](const std::string&) {}, open, "The file is missing."},
            {[](const std::string& p) {
                 QFile file(QString::fromStdString(p));
                 file.open(QIODevice::WriteOnly);
                 file.write(QByteArray(4096, 'x'));
             },
             open, notOurs},
            {[](const std::string& p) {
                 Connection::create(p, "another").execute("CREATE TABLE t (x)");
             },
             open, notOurs},
            {[](const std::string& p) { Connection::create(p, kDatabasePassword); },
             [](const std::string& p) { SettingsStore::openFile(p).loadSettings(); },
             "lacks a table"},
        };
    for (const auto& [prepare, use, problem] : cases) {
        QTemporaryDir dir;
        const QString file = QDir(dir.path()).filePath(QStringLiteral("info.velkaro"));
        prepare(file.toStdString());
        try {
            use(file.toStdString());
            ADD_FAILURE() << "the settings file opened";
        } catch (const StoreError& error) {
            const QString message = describeSettingsFailure(file, error);
            EXPECT_TRUE(message.contains(file) && message.contains(problem) &&
                        message.endsWith(QStringLiteral("(%1)").arg(error.what())))
                << message.toStdString();
        }
    }
}

#include "support/TempDatabase.h"

#include "store/Connection.h"

#include <fstream>
#include <sstream>

namespace dormivo::test {

std::string TempDatabase::createIn(const QTemporaryDir& dir) {
    const std::string path = (dir.path() + "/" + kDatabaseFileName).toStdString();
    std::ifstream seed(DORMIVO_SEED_SQL);
    std::stringstream text;
    text << seed.rdbuf();
    Connection::create(path, kDatabasePassword).execute(text.str());
    return path;
}

TempDatabase::TempDatabase() : store_(SettingsStore::openFile(createIn(dir_))) {}

std::string TempDatabase::path() const {
    return (dir_.path() + "/" + kDatabaseFileName).toStdString();
}

std::string TempDatabase::scalar(const std::string& sql) {
    Statement statement(store_.connection(), sql);
    if (!statement.step())
        return "<none>";
    return statement.column(0).text().value_or("");
}

} // namespace dormivo::test

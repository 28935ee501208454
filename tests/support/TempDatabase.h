#pragma once

#include "store/SettingsStore.h"

#include <QTemporaryDir>

#include <string>

namespace dormivo::test {

// A fresh default settings file, made from the build's seed, and the store opened on it.
class TempDatabase {
public:
    TempDatabase();

    std::string path() const;
    SettingsStore& store() { return store_; }
    void exec(const std::string& sql) { store_.connection().execute(sql); }
    // The first column of the first row of a query, as text ("" for null, "<none>" for no row).
    std::string scalar(const std::string& sql);

private:
    static std::string createIn(const QTemporaryDir& dir);

    QTemporaryDir dir_;
    SettingsStore store_;
};

} // namespace dormivo::test

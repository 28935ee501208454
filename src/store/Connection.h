#pragma once

#include "store/Value.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace dormivo {

// The one connection to an encrypted settings file. Opening it pays the key derivation once,
// so a process opens it once and keeps it for its whole life.
class Connection {
public:
    // No file yet; an opened connection is moved into it before any use.
    Connection() = default;
    // Opens an existing file; a missing file, a wrong password or a file that is not a
    // database raise StoreError with the engine's message and leave the file untouched.
    static Connection open(const std::string& path, const std::string& password);
    // Makes a new, empty encrypted file (fails when the file already exists).
    static Connection create(const std::string& path, const std::string& password);

    // Runs statements that return no rows. "delete * from t" is accepted as deleting every
    // row of t, the form older desktop databases use.
    void execute(std::string_view sql);
    // Runs work as one change to the file: all of it is kept, or, when it throws, none of it.
    // Such changes may nest; only the outermost one reaches the file.
    void asOneChange(const std::function<void()>& work);

    std::int64_t lastInsertRowid() const;
    sqlite3* handle() const { return db_.get(); }
    // The file's full path, as the engine opened it.
    std::string file() const;

private:
    struct Closer {
        void operator()(sqlite3* db) const;
    };
    explicit Connection(sqlite3* db) : db_(db) {}
    static Connection openWithKey(const std::string& path, const std::string& password, int flags);

    std::unique_ptr<sqlite3, Closer> db_;
};

// Whether a SQLCipher library of this version (its "PRAGMA cipher_version") must be told to
// read and write the version 3 format: from version 4 on, it reads the files Dormivo has
// always written only when asked to, and files written for it stay readable by version 3.
bool needsVersion3Format(std::string_view cipherVersion);

// A prepared statement with its parameters bound; finalized when it goes out of scope.
class Statement {
public:
    Statement(const Connection& connection, std::string_view sql,
              const std::vector<Value>& parameters = {});

    bool step(); // true while it yields a row
    int columnCount() const;
    std::string columnName(int column) const;
    Value column(int column) const;

private:
    struct Finalizer {
        void operator()(sqlite3_stmt* statement) const;
    };
    sqlite3* db_;
    std::unique_ptr<sqlite3_stmt, Finalizer> statement_;
};

} // namespace dormivo

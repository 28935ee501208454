#include "store/Connection.h"

#include "store/StoreError.h"

#include <sqlite3.h>

#include <charconv>
#include <filesystem>
#include <regex>

namespace dormivo {
namespace {

constexpr int kBusyTimeoutMs = 5000;

[[noreturn]] void fail(sqlite3* db) {
    throw StoreError(db ? sqlite3_errmsg(db) : "out of memory",
                     db ? sqlite3_extended_errcode(db) : SQLITE_NOMEM);
}

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        out += c;
        if (c == '\'')
            out += '\'';
    }
    return out + "'";
}

std::string cipherVersion(const Connection& connection) {
    Statement version(connection, "PRAGMA cipher_version");
    return version.step() ? version.column(0).text().value_or("") : "";
}

} // namespace

void Connection::Closer::operator()(sqlite3* db) const {
    sqlite3_close_v2(db);
}

Connection Connection::openWithKey(const std::string& path, const std::string& password,
                                   int flags) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
    Connection connection(raw);
    if (rc != SQLITE_OK)
        fail(raw);
    // Another program (a second copy, a backup tool) may hold the file a moment: wait that
    // out rather than fail a save or the expiry's lookup.
    sqlite3_busy_timeout(raw, kBusyTimeoutMs);
    connection.execute("PRAGMA key = " + quoted(password));
    // Set after the key and before the first read, which is when the format counts.
    if (needsVersion3Format(cipherVersion(connection)))
        connection.execute("PRAGMA cipher_compatibility = 3");
    // The key is only checked when the file is first read: read the schema now so that a
    // wrong password or a foreign file fails here, before anything relies on the store.
    connection.execute("SELECT count(*) FROM sqlite_master");
    return connection;
}

Connection Connection::open(const std::string& path, const std::string& password) {
    return openWithKey(path, password, SQLITE_OPEN_READWRITE);
}

Connection Connection::create(const std::string& path, const std::string& password) {
    if (std::filesystem::exists(path))
        throw StoreError("file already exists: " + path);
    return openWithKey(path, password, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

void Connection::execute(std::string_view sql) {
    static const std::regex deleteAll(R"(^\s*delete\s+\*\s+from\s+)", std::regex::icase);
    const std::string text = std::regex_replace(std::string(sql), deleteAll, "DELETE FROM ",
                                                std::regex_constants::format_first_only);
    char* message = nullptr;
    if (sqlite3_exec(db_.get(), text.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string error = message ? message : sqlite3_errmsg(db_.get());
        sqlite3_free(message);
        throw StoreError(error, sqlite3_extended_errcode(db_.get()));
    }
}

void Connection::asOneChange(const std::function<void()>& work) {
    execute("SAVEPOINT change");
    try {
        work();
        execute("RELEASE change");
    } catch (...) {
        // Some failures (a full disk, an I/O error) have already undone the whole transaction.
        if (!sqlite3_get_autocommit(db_.get())) {
            execute("ROLLBACK TO change");
            execute("RELEASE change");
        }
        throw;
    }
}

std::string Connection::file() const {
    const char* name = sqlite3_db_filename(db_.get(), "main");
    return name ? name : "";
}

bool needsVersion3Format(std::string_view cipherVersion) {
    int major = 0;
    const char* end = cipherVersion.data() + cipherVersion.size();
    return std::from_chars(cipherVersion.data(), end, major).ec == std::errc() && major >= 4;
}

std::int64_t Connection::lastInsertRowid() const {
    return sqlite3_last_insert_rowid(db_.get());
}

void Statement::Finalizer::operator()(sqlite3_stmt* statement) const {
    sqlite3_finalize(statement);
}

Statement::Statement(const Connection& connection, std::string_view sql,
                     const std::vector<Value>& parameters)
    : db_(connection.handle()) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &raw, nullptr) !=
        SQLITE_OK)
        fail(db_);
    statement_.reset(raw);
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        const auto& data = parameters[i].data();
        int rc = SQLITE_OK;
        if (const auto* n = std::get_if<std::int64_t>(&data))
            rc = sqlite3_bind_int64(raw, index, *n);
        else if (const auto* d = std::get_if<double>(&data))
            rc = sqlite3_bind_double(raw, index, *d);
        else if (const auto* s = std::get_if<std::string>(&data))
            rc = sqlite3_bind_text(raw, index, s->data(), static_cast<int>(s->size()),
                                   SQLITE_TRANSIENT);
        else
            rc = sqlite3_bind_null(raw, index);
        if (rc != SQLITE_OK)
            fail(db_);
    }
}

bool Statement::step() {
    const int rc = sqlite3_step(statement_.get());
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    fail(db_);
}

int Statement::columnCount() const {
    return sqlite3_column_count(statement_.get());
}

std::string Statement::columnName(int column) const {
    return sqlite3_column_name(statement_.get(), column);
}

Value Statement::column(int column) const {
    sqlite3_stmt* s = statement_.get();
    switch (sqlite3_column_type(s, column)) {
    case SQLITE_INTEGER:
        return Value(static_cast<std::int64_t>(sqlite3_column_int64(s, column)));
    case SQLITE_FLOAT:
        return Value(sqlite3_column_double(s, column));
    case SQLITE_NULL:
        return Value();
    default:
        return Value(std::string(reinterpret_cast<const char*>(sqlite3_column_text(s, column)),
                                 static_cast<std::size_t>(sqlite3_column_bytes(s, column))));
    }
}

} // namespace dormivo

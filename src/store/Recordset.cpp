#include "store/Recordset.h"

#include "store/StoreError.h"

#include <algorithm>
#include <cctype>
#include <regex>

namespace dormivo {
namespace {

bool sameName(std::string_view a, std::string_view b) {
    return std::ranges::equal(
        a, b, [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

std::string quotedName(const std::string& name) {
    return "\"" + name + "\"";
}

} // namespace

Recordset::Recordset(Connection& connection, std::string_view source, std::vector<Value> parameters)
    : connection_(connection) {
    static const std::regex selectAll(R"(^\s*select\s+\*\s+from\s+(\w+)(.*)$)", std::regex::icase);
    std::smatch match;
    const std::string text(source);
    if (!std::regex_match(text, match, selectAll))
        throw StoreError("a record set needs \"select * from <table>\": " + text);
    table_ = match[1];
    // The row id travels along, hidden, so that edits reach the row they were made on.
    Statement statement(connection_, "SELECT rowid, * FROM " + table_ + match[2].str(), parameters);
    for (int c = 1; c < statement.columnCount(); ++c)
        columns_.push_back(statement.columnName(c));
    while (statement.step()) {
        Row row;
        row.rowid = std::get<std::int64_t>(statement.column(0).data());
        for (int c = 1; c < statement.columnCount(); ++c)
            row.values.push_back(statement.column(c));
        rows_.push_back(std::move(row));
    }
}

std::size_t Recordset::columnIndex(std::string_view column) const {
    const auto found = std::ranges::find_if(
        columns_, [column](const std::string& name) { return sameName(name, column); });
    if (found == columns_.end())
        throw StoreError("no column named " + std::string(column) + " in " + table_);
    return static_cast<std::size_t>(found - columns_.begin());
}

void Recordset::moveNext() {
    if (pending_)
        update();
    if (current_ >= rows_.size())
        throw StoreError("no current row in " + table_);
    edits_.clear();
    ++current_;
}

Value Recordset::field(std::string_view column) const {
    const std::size_t index = columnIndex(column);
    if (pending_)
        return pending_->values[index];
    if (current_ >= rows_.size())
        throw StoreError("no current row in " + table_);
    if (const auto edit = edits_.find(index); edit != edits_.end())
        return edit->second;
    return rows_[current_].values[index];
}

void Recordset::addNew() {
    if (pending_ || !edits_.empty())
        update();
    pending_ = Row{0, std::vector<Value>(columns_.size())};
}

void Recordset::setField(std::string_view column, Value value) {
    const std::size_t index = columnIndex(column);
    if (pending_) {
        pending_->values[index] = std::move(value);
        return;
    }
    if (current_ >= rows_.size())
        throw StoreError("no current row in " + table_);
    edits_[index] = std::move(value);
}

void Recordset::update() {
    if (pending_) {
        std::string names;
        std::string marks;
        for (const auto& column : columns_) {
            names += (names.empty() ? "" : ", ") + quotedName(column);
            marks += marks.empty() ? "?" : ", ?";
        }
        Statement insert(connection_,
                         "INSERT INTO " + table_ + " (" + names + ") VALUES (" + marks + ")",
                         pending_->values);
        insert.step();
        pending_->rowid = connection_.lastInsertRowid();
        rows_.push_back(std::move(*pending_));
        pending_.reset();
        current_ = rows_.size() - 1;
        return;
    }
    if (edits_.empty())
        return;
    std::string assignments;
    std::vector<Value> parameters;
    for (const auto& [index, value] : edits_) {
        assignments += (assignments.empty() ? "" : ", ") + quotedName(columns_[index]) + " = ?";
        parameters.push_back(value);
    }
    parameters.emplace_back(rows_[current_].rowid);
    Statement change(connection_, "UPDATE " + table_ + " SET " + assignments + " WHERE rowid = ?",
                     parameters);
    change.step();
    for (auto& [index, value] : edits_)
        rows_[current_].values[index] = std::move(value);
    edits_.clear();
}

} // namespace dormivo

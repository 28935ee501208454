#pragma once

#include "store/Connection.h"
#include "store/Value.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dormivo {

// A record set over "select * from <table> [...]": the rows are read when it opens, the
// current row starts at the first one, columns are found by name ignoring letter case, and
// edits are written back with update(). addNew() begins a new row; beginning another one
// first saves the pending one, so a loop of addNew/setField needs only one final update().
class Recordset {
public:
    Recordset(Connection& connection, std::string_view source, std::vector<Value> parameters = {});

    bool eof() const { return !pending_ && current_ >= rows_.size(); }
    void moveNext();
    Value field(std::string_view column) const;

    void addNew();
    void setField(std::string_view column, Value value);
    void update();

private:
    struct Row {
        std::int64_t rowid = 0;
        std::vector<Value> values;
    };
    std::size_t columnIndex(std::string_view column) const;

    Connection& connection_;
    std::string table_;
    std::vector<std::string> columns_;
    std::vector<Row> rows_;
    std::size_t current_ = 0;
    std::optional<Row> pending_;         // a row begun by addNew, not yet saved
    std::map<std::size_t, Value> edits_; // changed columns of the current saved row
};

} // namespace dormivo

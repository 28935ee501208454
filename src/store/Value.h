#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace dormivo {

// One field value as the store hands it out: null, a whole number, a real number or a text.
// The conversions follow what the callers rely on: any non-null value can be read as text
// (a stored 1 reads "1"), and a value is a 16-bit whole number when it is one after rounding
// halves to the even neighbour.
class Value {
public:
    Value() = default;
    Value(std::int64_t number) : data_(number) {}
    Value(int number) : data_(static_cast<std::int64_t>(number)) {}
    Value(double number) : data_(number) {}
    Value(std::string text) : data_(std::move(text)) {}
    Value(const char* text) : data_(std::string(text)) {}

    bool isNull() const { return std::holds_alternative<std::monostate>(data_); }
    std::optional<std::string> text() const;
    std::optional<std::int16_t> toInt16() const;

    const std::variant<std::monostate, std::int64_t, double, std::string>& data() const {
        return data_;
    }
    bool operator==(const Value&) const = default;

private:
    std::variant<std::monostate, std::int64_t, double, std::string> data_;
};

} // namespace dormivo

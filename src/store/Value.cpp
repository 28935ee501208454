#include "store/Value.h"

#include "common/WholeNumber.h"

#include <charconv>

namespace dormivo {

std::optional<std::string> Value::text() const {
    if (const auto* s = std::get_if<std::string>(&data_))
        return *s;
    if (const auto* i = std::get_if<std::int64_t>(&data_))
        return std::to_string(*i);
    if (const auto* d = std::get_if<double>(&data_)) {
        char buffer[32];
        const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, *d);
        return std::string(buffer, ec == std::errc() ? ptr : buffer);
    }
    return std::nullopt;
}

std::optional<std::int16_t> Value::toInt16() const {
    if (const auto* i = std::get_if<std::int64_t>(&data_))
        return roundToInt16(static_cast<double>(*i));
    if (const auto* d = std::get_if<double>(&data_))
        return roundToInt16(*d);
    if (const auto* s = std::get_if<std::string>(&data_))
        return textToInt16(*s);
    return std::nullopt;
}

} // namespace dormivo

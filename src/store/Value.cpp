#include "store/Value.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace dormivo {
namespace {

std::optional<std::int16_t> roundedInt16(double number) {
    if (!std::isfinite(number))
        return std::nullopt;
    const double rounded = std::nearbyint(number); // the default mode rounds halves to even
    if (rounded < std::numeric_limits<std::int16_t>::min() ||
        rounded > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

std::optional<double> parseNumber(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    if (first == std::string::npos)
        return std::nullopt;
    double number = 0;
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    const auto [ptr, ec] = std::from_chars(begin, end, number);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return number;
}

} // namespace

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
        return roundedInt16(static_cast<double>(*i));
    if (const auto* d = std::get_if<double>(&data_))
        return roundedInt16(*d);
    if (const auto* s = std::get_if<std::string>(&data_))
        if (const auto number = parseNumber(*s))
            return roundedInt16(*number);
    return std::nullopt;
}

} // namespace dormivo

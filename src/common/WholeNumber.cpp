#include "common/WholeNumber.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace dormivo {
namespace {

std::optional<double> parseNumber(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    if (first == std::string_view::npos)
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

std::optional<std::int16_t> roundToInt16(double number) {
    if (!std::isfinite(number))
        return std::nullopt;
    const double rounded = std::nearbyint(number); // the default mode rounds halves to even
    if (rounded < std::numeric_limits<std::int16_t>::min() ||
        rounded > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

std::optional<std::int16_t> textToInt16(std::string_view text) {
    const auto number = parseNumber(text);
    return number ? roundToInt16(*number) : std::nullopt;
}

std::string periodLimits() {
    return std::to_string(kMinPeriod) + " to " + std::to_string(kMaxPeriod);
}

} // namespace dormivo

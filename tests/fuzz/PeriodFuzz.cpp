// The period check agrees with a slow reference on any text, for both unit texts (any text but
// exactly "Minutes" means hours) and both the C and the English locale's way of writing numbers.
#include "Property.h"
#include "countdown/PeriodCheck.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>

using dormivo::PeriodCheck;
using Outcome = PeriodCheck::Outcome;

namespace {

// The number as strtod reads it, when the text is one as these locales write it: a sign,
// digits (grouped by commas in threes after a first group of one to three, or not at all), a
// fraction and an exponent. Qt takes U+2212 for a minus sign too.
std::optional<std::string> plainNumber(QString text) {
    text.replace(QChar(0x2212), QLatin1Char('-'));
    std::string s;
    for (const QChar c : text)
        s += c.unicode() < 128 ? static_cast<char>(c.unicode()) : '?';
    std::string out;
    std::size_t i = 0;
    const auto take = [&](std::string_view set) {
        const bool taken = i < s.size() && set.find(s[i]) != set.npos;
        if (taken)
            out += s[i++];
        return taken;
    };
    const auto digits = [&](std::size_t most) {
        std::size_t n = 0;
        while (n < most && take("0123456789"))
            ++n;
        return n;
    };
    take("+-");
    const std::size_t whole = digits(-1);
    if (i < s.size() && s[i] == ',' && (whole == 0 || whole > 3))
        return std::nullopt;
    while (i < s.size() && s[i] == ',') {
        ++i;
        if (digits(3) != 3)
            return std::nullopt;
    }
    const std::size_t fraction = take(".") ? digits(-1) : 0;
    if (whole + fraction == 0)
        return std::nullopt;
    if (take("eE")) {
        take("+-");
        if (digits(-1) == 0)
            return std::nullopt;
    }
    return i == s.size() ? std::optional(out) : std::nullopt;
}

PeriodCheck reference(const QString& text, const QString& unit) {
    const auto number = plainNumber(text.trimmed());
    if (!number)
        return {Outcome::NotANumber, 0};
    const double value = std::strtod(number->c_str(), nullptr);
    // A number beyond what a double holds, too large or too small to tell from 0, is refused.
    if (std::isinf(value) ||
        (value == 0 && number->find_first_of("123456789") < number->find_first_of("eE")))
        return {Outcome::NotANumber, 0};
    double units = std::floor(value);
    const double rest = value - units;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(units, 2) != 0))
        units += 1;
    if (units < std::numeric_limits<std::int32_t>::min() ||
        units > std::numeric_limits<std::int32_t>::max())
        return {Outcome::NotANumber, 0};
    const std::int64_t seconds =
        static_cast<std::int64_t>(units) * (unit == QStringLiteral("Minutes") ? 60 : 3600);
    if (seconds < std::numeric_limits<std::int32_t>::min() ||
        seconds > std::numeric_limits<std::int32_t>::max())
        return {Outcome::NotANumber, 0};
    if (value <= 0 || seconds == 0)
        return {Outcome::NotAboveZero, 0};
    return {Outcome::Accepted, static_cast<std::int32_t>(seconds)};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    static const QString units[] = {QStringLiteral("Minutes"), QStringLiteral("Hours"),
                                    QStringLiteral("minutes"), QStringLiteral("Minutes ")};
    static const QLocale locales[] = {QLocale::c(),
                                      QLocale(QLocale::English, QLocale::UnitedStates)};
    const QString& unit = units[data[0] & 3];
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data) + 1,
                                           static_cast<qsizetype>(size - 1));
    const PeriodCheck expected = reference(text, unit);
    const PeriodCheck got = dormivo::checkPeriod(text, unit, locales[data[0] >> 2 & 1]);
    require(got.outcome == expected.outcome && got.totalSeconds == expected.totalSeconds,
            "the period check agrees with the reference");
    return 0;
}

#include "countdown/PeriodCheck.h"

#include <cmath>
#include <limits>

namespace dormivo {

PeriodCheck checkPeriod(const QString& periodText, const QString& unitText, const QLocale& locale) {
    using Outcome = PeriodCheck::Outcome;
    bool ok = false;
    const double number = locale.toDouble(periodText.trimmed(), &ok);
    if (!ok || !std::isfinite(number))
        return {Outcome::NotANumber, 0};

    const double units = std::nearbyint(number); // default rounding: halves to even
    if (units < std::numeric_limits<std::int32_t>::min() ||
        units > std::numeric_limits<std::int32_t>::max())
        return {Outcome::NotANumber, 0};

    std::int32_t seconds = static_cast<std::int32_t>(units);
    const int multiplications = unitText == QStringLiteral("Minutes") ? 1 : 2;
    for (int i = 0; i < multiplications; ++i)
        if (__builtin_mul_overflow(seconds, 60, &seconds))
            return {Outcome::NotANumber, 0};

    // The test is on the typed value, not the rounded one; a positive value that rounds to
    // no whole unit would give a countdown that never runs out, so it is refused the same way.
    if (number <= 0 || seconds == 0)
        return {Outcome::NotAboveZero, 0};
    return {Outcome::Accepted, seconds};
}

} // namespace dormivo
